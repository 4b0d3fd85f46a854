#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

// The window is laid out in twips, 1/1440 inch: 15 to a pixel at 96 DPI, fewer
// at a higher DPI, so a larger text setting gives a proportionally larger window.
namespace win32::Layout {

[[nodiscard]] inline int toPixels(int twips, UINT dpi)
{
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

[[nodiscard]] inline double toTwips(int pixels, UINT dpi)
{
    return pixels * 1440.0 / dpi;
}

// A rectangle given in twips, in pixels at dpi.
[[nodiscard]] inline RECT rect(int left, int top, int width, int height, UINT dpi)
{
    return {toPixels(left, dpi), toPixels(top, dpi), toPixels(left + width, dpi), toPixels(top + height, dpi)};
}

struct FontDeleter {
    void operator()(HFONT font) const { DeleteObject(font); }
};
using Font = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

// The classic dialog face "MS Sans Serif" at the given size (hundredths of a
// point), or the system's message font's face where that face is missing.
[[nodiscard]] Font classicFont(UINT dpi, int hundredthsOfPoint = 825, bool underlined = false);

// Moves a right-aligned label so that it just holds its text and ends at right
// (pixels), as a label that sizes itself keeps its right edge.
void fitToTextLeftwards(HWND label, int right);

} // namespace win32::Layout
