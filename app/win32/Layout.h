#pragma once

#include "app/behaviour/FormTable.h"

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

// The form tables' twips at the window's DPI, via FormTable's conversion.
namespace win32::Layout {

[[nodiscard]] inline int toPixels(int twips, UINT dpi)
{
    return FormTable::toPixels(twips, static_cast<int>(dpi));
}

[[nodiscard]] inline RECT rect(const FormTable::TwipsRect& twips, UINT dpi)
{
    const FormTable::PixelRect pixels = FormTable::toPixels(twips, static_cast<int>(dpi));
    return {pixels.left, pixels.top, pixels.left + pixels.width, pixels.top + pixels.height};
}

struct FontDeleter {
    void operator()(HFONT font) const { DeleteObject(font); }
};
using Font = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

// The classic dialog face "MS Sans Serif" at the given size, or the system's
// message font's face where that face is missing.
[[nodiscard]] Font classicFont(UINT dpi, double pointSize = 8.25, bool underlined = false);

// Creates a control of the form table on parent, with the given id, at no
// place yet; the caller places it. Not the chart box, a window of its own.
HWND createControl(HWND parent, const FormTable::Control& control, int id);

// A window's text.
[[nodiscard]] std::wstring windowText(HWND window);

// The pixels text draws in, in the face selected into dc: its advance, the
// last glyph's overhang beyond it and a pixel of smoothing.
[[nodiscard]] int textWidth(HDC dc, const std::wstring& text);
// The same for a control's own text in its own face.
[[nodiscard]] int labelTextWidth(HWND label);

// Moves a label so that it holds its text and ends at right (pixels), as a
// label that sizes itself keeps its right edge; its text starts at its left,
// after padding pixels, and as many follow it.
void fitToTextLeftwards(HWND label, int right, int padding = 0);

} // namespace win32::Layout
