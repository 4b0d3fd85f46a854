#include "app/win32/Layout.h"

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

} // namespace

Font classicFont(UINT dpi, int hundredthsOfPoint, bool underlined)
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
    font.lfHeight = -MulDiv(hundredthsOfPoint, static_cast<int>(dpi), 7200);
    font.lfWeight = FW_NORMAL;
    font.lfUnderline = underlined ? TRUE : FALSE;
    font.lfQuality = DEFAULT_QUALITY;
    return Font(CreateFontIndirectW(&font));
}

void fitToTextLeftwards(HWND label, int right)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(label)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(label, text.data(), static_cast<int>(text.size()))));
    HDC dc = GetDC(label);
    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, previous);
    ReleaseDC(label, dc);

    RECT bounds{};
    GetWindowRect(label, &bounds);
    MapWindowPoints(HWND_DESKTOP, GetParent(label), reinterpret_cast<POINT*>(&bounds), 2);
    SetWindowPos(label, nullptr, right - extent.cx, bounds.top, extent.cx, bounds.bottom - bounds.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(label, nullptr, TRUE);
}

} // namespace win32::Layout
