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

// The classic dialog face "MS Sans Serif", or where it is missing the system's message font's face.
[[nodiscard]] Font classicFont(UINT dpi, double pointSize = 8.25, bool underlined = false);

// Creates a control of the form table on parent, not yet placed; not the chart box, a window of its own.
HWND createControl(HWND parent, const FormTable::Control& control, int id);

[[nodiscard]] std::wstring windowText(HWND window);

// The pixels text draws in, in font on dc: its advance, the last glyph's
// overhang beyond it and a pixel of smoothing.
[[nodiscard]] int textWidth(HDC dc, HFONT font, const std::wstring& text);
// The same for a control's own text in its own face.
[[nodiscard]] int labelTextWidth(HWND label);

// Sizes a label in place (parent's pixels) to its text, padding pixels on each
// side, keeping its right edge as a label that sizes itself does.
void fitToTextLeftwards(HWND label, const RECT& place, int padding = 0);

} // namespace win32::Layout
