#pragma once

// The keys held as a swatch's MouseUp reports them, the same from every
// window: one bit each for Shift, Ctrl and Alt.
namespace ShiftMask {

inline constexpr int Shift = 1;
inline constexpr int Ctrl = 2;
inline constexpr int Alt = 4;

[[nodiscard]] constexpr int of(bool shift, bool ctrl, bool alt)
{
    return (shift ? Shift : 0) | (ctrl ? Ctrl : 0) | (alt ? Alt : 0);
}

} // namespace ShiftMask
