#pragma once

#include <windows.h>

// The window's own small controls: the legend swatches and the link labels.
// Both are tab stops and act on Space or Enter as on the mouse.
namespace win32::Controls {

// Sent to the parent when a mouse button goes up over a swatch, or Space or
// Enter is pressed on it. wParam: the swatch's id; lParam: MAKELPARAM(button
// 1 left, 2 right, 4 middle; the shift mask 1 Shift, 2 Ctrl, 4 Alt).
inline constexpr UINT SwatchMouseUp = WM_APP + 1;
// Sent to the parent when a link is clicked, or Space or Enter is pressed on
// it. wParam: the link's id.
inline constexpr UINT LinkClick = WM_APP + 2;

inline constexpr wchar_t SwatchClass[] = L"QuillmarSwatch";
inline constexpr wchar_t LinkClass[] = L"QuillmarLink";

// Registers both classes; linkCursor is the links' mouse pointer.
void registerClasses(HINSTANCE instance, HCURSOR linkCursor);
void registerWindowClass(HINSTANCE instance, WNDPROC procedure, const wchar_t* name, HCURSOR cursor,
                         HICON icon = nullptr, HBRUSH background = nullptr);

// A swatch's colour, 0x00BBGGRR.
void setSwatchColor(HWND swatch, COLORREF color);

// The colours come from the user's colour scheme, read at every painting so
// that a scheme switched while the window is open shows at the next; every
// text and mark stands out from the button face it is on.
// The answer to WM_CTLCOLORSTATIC: the scheme's button text on its button face.
LRESULT labelColors(HDC dc);
// Outlines (swatch borders, the chart's edge): the scheme's window text, or
// black or white where that does not stand out from the face.
[[nodiscard]] COLORREF outlineColor();

// Passes a change of the colour scheme or of a system setting on to parent's
// children, since Windows' common controls keep colours of their own, and has
// all of parent painted again.
void passOnSchemeChange(HWND parent, UINT message, WPARAM wParam, LPARAM lParam);

// Whether control has the focus and its window shows focus marks (Windows
// hides them in a window worked with the mouse until the keyboard moves the focus).
[[nodiscard]] bool showsFocusMark(HWND control);
// control's focus mark just inside box: around is what lies outside box,
// within what the mark encloses.
void paintFocusMark(HWND control, HDC dc, const RECT& box, COLORREF around, COLORREF within);

// The default of this program's focusable controls: a press takes the focus,
// the focus mark is painted again as the focus or the window's showing of marks
// changes; the rest goes to DefWindowProc.
LRESULT focusableDefault(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace win32::Controls
