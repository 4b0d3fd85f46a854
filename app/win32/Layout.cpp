#include "app/win32/Layout.h"

#include "app/win32/Controls.h"
#include "common/WideText_win32.h"

#include <commctrl.h>

#include <cmath>
#include <string>

namespace win32::Layout {

namespace {

constexpr wchar_t ClassicFace[] = L"MS Sans Serif";

bool classicFaceInstalled()
{
    static const bool installed = [] {
        LOGFONTW wanted{};
        wanted.lfCharSet = DEFAULT_CHARSET;
        wcscpy_s(wanted.lfFaceName, ClassicFace);
        HDC screen = GetDC(nullptr);
        // The callback stops the enumeration at the first match: 0 means found.
        const int result = EnumFontFamiliesExW(
            screen, &wanted, [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM) -> int { return 0; }, 0, 0);
        ReleaseDC(nullptr, screen);
        return result == 0;
    }();
    return installed;
}

struct ControlClass {
    const wchar_t* name;
    DWORD style;
};

// The window class and style of each kind; the chart box is a window of its own.
// SS_NOTIFY: the figures receive the mouse, so that their tooltips show.
// Captions and figures are sized to their text at their right edge: it starts at their left.
using FormTable::Kind;
// clang-format off
constexpr auto controlClasses = enumTable<ControlClass>(Kind::Icon, {
    {Kind::ChartBox, {WC_STATICW, 0}},
    {Kind::DriveList, {WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP}},
    {Kind::Swatch, {Controls::SwatchClass, WS_TABSTOP}},
    {Kind::Link, {Controls::LinkClass, WS_TABSTOP}},
    {Kind::Caption, {WC_STATICW, SS_LEFTNOWORDWRAP | SS_NOPREFIX}},
    {Kind::Figure, {WC_STATICW, SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY}},
    {Kind::Frame, {WC_BUTTONW, BS_GROUPBOX}},
    {Kind::Label, {WC_STATICW, SS_LEFT | SS_NOPREFIX}},
    {Kind::Button, {WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP}},
    {Kind::Icon, {WC_STATICW, SS_ICON | SS_REALSIZECONTROL}},
});
// clang-format on

} // namespace

// A swatch shows no text: its window text is its name for screen readers.
HWND createControl(HWND parent, const FormTable::Control& control, int id)
{
    const ControlClass& kind = controlClasses[static_cast<std::size_t>(control.kind)];
    const std::wstring text =
        WideText::fromUtf8(control.kind == FormTable::Kind::Swatch ? control.accessibleName : control.text);
    return CreateWindowExW(0, kind.name, text.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style, 0, 0, 0, 0,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

Font classicFont(UINT dpi, double pointSize, bool underlined)
{
    LOGFONTW font{};
    if (classicFaceInstalled()) {
        wcscpy_s(font.lfFaceName, ClassicFace);
    } else {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
        wcscpy_s(font.lfFaceName, metrics.lfMessageFont.lfFaceName);
        font.lfCharSet = metrics.lfMessageFont.lfCharSet;
    }
    font.lfHeight = -static_cast<LONG>(std::lround(pointSize * dpi / 72));
    font.lfWeight = FW_NORMAL;
    font.lfUnderline = underlined ? TRUE : FALSE;
    font.lfQuality = DEFAULT_QUALITY;
    return Font(CreateFontIndirectW(&font));
}

std::wstring windowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

int textWidth(HDC dc, HFONT font, const std::wstring& text)
{
    const HGDIOBJ previous = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    // A glyph such as an italic or a bold 'b' may reach past its advance: a
    // negative C width. A box of the bare advance would cut its last column.
    ABC last{};
    if (!text.empty() && GetCharABCWidthsW(dc, text.back(), text.back(), &last) && last.abcC < 0)
        extent.cx -= last.abcC;
    SelectObject(dc, previous);
    return extent.cx + 1;
}

int labelTextWidth(HWND label)
{
    HDC dc = GetDC(label);
    const int width = textWidth(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)), windowText(label));
    ReleaseDC(label, dc);
    return width;
}

void fitToTextLeftwards(HWND label, const RECT& place, int padding)
{
    const int width = labelTextWidth(label) + 2 * padding;
    SetWindowPos(label, nullptr, place.right - width, place.top, width, place.bottom - place.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(label, nullptr, TRUE);
}

} // namespace win32::Layout
