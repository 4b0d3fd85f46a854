#pragma once

#include <cstdint>

// How well one colour reads on another, for every window: the contrast ratio
// of two colours as the eye sees them, and the inks and link colours that stay
// readable on whatever face the user's colour scheme gives the window (a black
// one in a high-contrast scheme, say). Colours are 0x00BBGGRR: red in the
// lowest byte, as Windows and the settings keep them.
namespace Contrast {

// Enough contrast for small text.
inline constexpr double Readable = 4.5;

// From 1 (the same lightness) to 21 (black on white), whichever is lighter.
[[nodiscard]] double ratio(std::uint32_t one, std::uint32_t other);

// Black or white, whichever stands out more from background: always at least
// 4.5 : 1, whatever the background.
[[nodiscard]] std::uint32_t contrastingInk(std::uint32_t background);

// ink where it can be read on background; black or white where it cannot.
[[nodiscard]] std::uint32_t readableInk(std::uint32_t ink, std::uint32_t background);

// A link's colour on background: link itself where it can be read there,
// else a blue that can (light blue on a dark background, pure blue on a light
// one), else black or white.
[[nodiscard]] std::uint32_t readableLink(std::uint32_t link, std::uint32_t background);

} // namespace Contrast
