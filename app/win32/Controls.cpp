#include "app/win32/Controls.h"

#include "app/behaviour/Contrast.h"
#include "app/behaviour/FocusMark.h"
#include "app/behaviour/ShiftMask.h"
#include "app/win32/Layout.h"

#include <windowsx.h>

#include <string>

namespace win32::Controls {

namespace {

// Space or Enter; as characters too, which have the same codes.
bool isActivationKey(WPARAM key)
{
    return key == VK_SPACE || key == VK_RETURN;
}

// The first press of Space or Enter: held down, the key repeats.
bool isActivationPress(WPARAM key, LPARAM flags)
{
    return isActivationKey(key) && !(flags & (1 << 30));
}

// Space and Enter reach the control instead of the dialog manager; Tab does not.
LRESULT dialogCode(LPARAM lParam)
{
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (message && (message->message == WM_KEYDOWN || message->message == WM_CHAR) && isActivationKey(message->wParam))
        return DLGC_WANTMESSAGE;
    return 0;
}

// Through the stock brush whose colour is set per DC: nothing to make or free.
HBRUSH inkBrush(HDC dc, COLORREF ink)
{
    SetDCBrushColor(dc, ink);
    return static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
}

// The rings one pixel each, ring i i pixels inside box.
void frameRings(HDC dc, RECT box, const FocusMark::Rings& rings)
{
    for (const COLORREF ink : rings) {
        FrameRect(dc, &box, inkBrush(dc, ink));
        InflateRect(&box, -1, -1);
    }
}

// Focused, the mark takes the place of the swatch's outline.
void paintSwatch(HWND swatch)
{
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(swatch, &paint);
    RECT box{};
    GetClientRect(swatch, &box);
    const auto color = static_cast<COLORREF>(GetWindowLongPtrW(swatch, GWLP_USERDATA));
    FillRect(dc, &box, inkBrush(dc, color));
    if (showsFocusMark(swatch))
        paintFocusMark(swatch, dc, box, GetSysColor(COLOR_BTNFACE), color);
    else
        FrameRect(dc, &box, inkBrush(dc, outlineColor()));
    EndPaint(swatch, &paint);
}

void notifySwatch(HWND swatch, int button, int shift)
{
    SendMessageW(GetParent(swatch), SwatchMouseUp, static_cast<WPARAM>(GetDlgCtrlID(swatch)),
                 MAKELPARAM(button, shift));
}

LRESULT CALLBACK swatchProc(HWND swatch, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paintSwatch(swatch);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        // The message carries Shift and Ctrl as they were when the button went up.
        notifySwatch(swatch,
                     message == WM_LBUTTONUP   ? 1
                     : message == WM_RBUTTONUP ? 2
                                               : 4,
                     ShiftMask::of(wParam & MK_SHIFT, wParam & MK_CONTROL, GetKeyState(VK_MENU) < 0));
        return 0;
    case WM_KEYDOWN:
        if (isActivationPress(wParam, lParam))
            notifySwatch(
                swatch, 1,
                ShiftMask::of(GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_MENU) < 0));
        return 0;
    case WM_GETDLGCODE:
        return dialogCode(lParam);
    default:
        return focusableDefault(swatch, message, wParam, lParam);
    }
}

void paintLink(HWND link)
{
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(link, &paint);
    RECT box{};
    GetClientRect(link, &box);
    FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
    const std::wstring text = Layout::windowText(link);
    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(GetWindowLongPtrW(link, GWLP_USERDATA)));
    SetBkMode(dc, TRANSPARENT);
    // The scheme's link colour, or a readable one where it does not read on the face.
    SetTextColor(dc, Contrast::readableLink(GetSysColor(COLOR_HOTLIGHT), GetSysColor(COLOR_BTNFACE)));
    RECT inside{box.left + FocusMark::LabelPadding, box.top, box.right - FocusMark::LabelPadding, box.bottom};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &inside, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, previous);
    if (showsFocusMark(link))
        frameRings(dc, box, FocusMark::labelRings(GetSysColor(COLOR_BTNFACE)));
    EndPaint(link, &paint);
}

LRESULT CALLBACK linkProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paintLink(link);
        return 0;
    case WM_SETFONT:
        SetWindowLongPtrW(link, GWLP_USERDATA, static_cast<LONG_PTR>(wParam));
        if (LOWORD(lParam))
            InvalidateRect(link, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return GetWindowLongPtrW(link, GWLP_USERDATA);
    case WM_LBUTTONDOWN:
        SetFocus(link);
        SetCapture(link);
        return 0;
    case WM_LBUTTONUP: {
        // A click is a press and a release over the link.
        const bool captured = GetCapture() == link;
        ReleaseCapture();
        RECT box{};
        GetClientRect(link, &box);
        if (captured && PtInRect(&box, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
            SendMessageW(GetParent(link), LinkClick, static_cast<WPARAM>(GetDlgCtrlID(link)), 0);
        return 0;
    }
    case WM_KEYDOWN:
        if (isActivationPress(wParam, lParam))
            SendMessageW(GetParent(link), LinkClick, static_cast<WPARAM>(GetDlgCtrlID(link)), 0);
        return 0;
    case WM_GETDLGCODE:
        return dialogCode(lParam);
    default:
        return focusableDefault(link, message, wParam, lParam);
    }
}

} // namespace

void registerWindowClass(HINSTANCE instance, WNDPROC procedure, const wchar_t* name, HCURSOR cursor, HICON icon,
                         HBRUSH background)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}

void registerClasses(HINSTANCE instance, HCURSOR linkCursor)
{
    registerWindowClass(instance, swatchProc, SwatchClass, LoadCursorW(nullptr, IDC_ARROW));
    registerWindowClass(instance, linkProc, LinkClass, linkCursor);
}

void setSwatchColor(HWND swatch, COLORREF color)
{
    SetWindowLongPtrW(swatch, GWLP_USERDATA, static_cast<LONG_PTR>(color));
    InvalidateRect(swatch, nullptr, FALSE);
}

LRESULT labelColors(HDC dc)
{
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

COLORREF outlineColor()
{
    return Contrast::readableInk(GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_BTNFACE));
}

void passOnSchemeChange(HWND parent, UINT message, WPARAM wParam, LPARAM lParam)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        SendMessageW(child, message, wParam, lParam);
    RedrawWindow(parent, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

bool showsFocusMark(HWND control)
{
    return GetFocus() == control && !(SendMessageW(control, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

void paintFocusMark(HWND control, HDC dc, const RECT& box, COLORREF around, COLORREF within)
{
    frameRings(dc, box, FocusMark::rings(static_cast<int>(GetDpiForWindow(control)), around, within));
}

LRESULT focusableDefault(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDOWN)
        SetFocus(control);
    if (message == WM_SETFOCUS || message == WM_KILLFOCUS || message == WM_UPDATEUISTATE)
        InvalidateRect(control, nullptr, FALSE);
    if (message == WM_SETFOCUS || message == WM_KILLFOCUS)
        return 0;
    return DefWindowProcW(control, message, wParam, lParam);
}

} // namespace win32::Controls
