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

// The pixels a link keeps on each side of its text, for its focus mark.
inline constexpr int LinkPadding = 2;

inline constexpr wchar_t SwatchClass[] = L"QuillmarSwatch";
inline constexpr wchar_t LinkClass[] = L"QuillmarLink";

// Registers both classes once; linkCursor is the links' mouse pointer.
void registerClasses(HINSTANCE instance, HCURSOR linkCursor);
// Registers a plain window class of this program's own controls.
void registerWindowClass(HINSTANCE instance, WNDPROC procedure, const wchar_t* name, HCURSOR cursor);

// A swatch's colour, 0x00BBGGRR.
void setSwatchColor(HWND swatch, COLORREF color);
[[nodiscard]] COLORREF swatchColor(HWND swatch);

// Black or white, whichever contrasts more with color: at least 4.5 : 1
// against any colour.
[[nodiscard]] COLORREF contrastingInk(COLORREF color);

// Whether control shows its focus mark: it has the focus, and its window
// shows focus marks (Windows hides them in a window opened or worked with the
// mouse until the keyboard moves the focus).
[[nodiscard]] bool showsFocusMark(HWND control);

// A clearly visible focus mark: a solid ring just inside box, two pixels at
// 96 DPI and more at larger text, in the ink that stands out against inside.
void paintFocusRing(HWND control, HDC dc, const RECT& box, COLORREF inside);

// The state of Shift, Ctrl and Alt as a MouseUp shift mask.
[[nodiscard]] int shiftMask();

} // namespace win32::Controls
