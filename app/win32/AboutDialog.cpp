#include "app/win32/AboutDialog.h"

#include "app/AboutTexts.h"
#include "app/win32/Layout.h"
#include "settings/WideText_win32.h"

#include <array>
#include <cstring>

namespace win32 {

namespace {

// Client area in twips: 297 x 175 pixels at 96 DPI.
constexpr int ClientWidth = 4455;
constexpr int ClientHeight = 2625;
constexpr DWORD Style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;

struct DialogState {
    UINT dpi = 96;
    Layout::Font classic;
    Layout::Font title;
};

HWND addControl(HWND dialog, const wchar_t* kind, const std::string& text, DWORD style, const RECT& r, int id,
                HFONT font)
{
    HWND control = CreateWindowExW(0, kind, WideText::fromUtf8(text).c_str(), WS_CHILD | WS_VISIBLE | style, r.left,
                                   r.top, r.right - r.left, r.bottom - r.top, dialog,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

// Sizes the dialog to its client area and puts its outer corner on the owner's.
void placeOverOwner(HWND dialog, UINT dpi)
{
    RECT outer{0, 0, Layout::toPixels(ClientWidth, dpi), Layout::toPixels(ClientHeight, dpi)};
    AdjustWindowRectExForDpi(&outer, Style, FALSE, WS_EX_DLGMODALFRAME, dpi);
    RECT owner{};
    GetWindowRect(GetWindow(dialog, GW_OWNER), &owner);
    SetWindowPos(dialog, nullptr, owner.left, owner.top, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void createControls(HWND dialog, DialogState& state)
{
    const AboutTexts::Dialog texts = AboutTexts::AboutDialog();
    const UINT dpi = state.dpi;
    SetWindowTextW(dialog, WideText::fromUtf8(texts.caption).c_str());
    const HFONT classic = state.classic.get();
    addControl(dialog, L"STATIC", texts.title, SS_LEFT | SS_NOPREFIX, Layout::rect(1080, 240, 3195, 360, dpi), 100,
               state.title.get());
    HWND ok = addControl(dialog, L"BUTTON", "OK", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP,
                         Layout::rect(1680, 2040, 1215, 375, dpi), AboutOkId, classic);
    addControl(dialog, L"STATIC", texts.version, SS_LEFT | SS_NOPREFIX, Layout::rect(240, 840, 4005, 195, dpi), 101,
               classic);
    addControl(dialog, L"STATIC", texts.description, SS_LEFT | SS_NOPREFIX, Layout::rect(240, 1200, 3975, 195, dpi),
               102, classic);
    addControl(dialog, L"STATIC", texts.legal, SS_LEFT | SS_NOPREFIX, Layout::rect(240, 1560, 4050, 195, dpi), 103,
               classic);
    // The icon at its own size, 32 x 32 at 96 DPI.
    const int iconSize = Layout::toPixels(480, dpi);
    HWND picture = addControl(dialog, L"STATIC", "", SS_ICON | SS_REALSIZECONTROL,
                              Layout::rect(360, 240, 480, 480, dpi), 104, nullptr);
    auto* icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"IDI_ICON1", IMAGE_ICON, iconSize, iconSize,
                                               LR_DEFAULTCOLOR | LR_SHARED));
    SendMessageW(picture, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    SetFocus(ok);
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        auto* state = reinterpret_cast<DialogState*>(lParam);
        placeOverOwner(dialog, state->dpi);
        createControls(dialog, *state);
        return FALSE; // the focus is set
    }
    case WM_COMMAND:
        // IDCANCEL comes from Escape: there is no cancel button, so it does nothing.
        if (LOWORD(wParam) == AboutOkId)
            EndDialog(dialog, IDOK);
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void ShowAboutDialog(HWND owner)
{
    DialogState state;
    state.dpi = GetDpiForWindow(owner);
    state.classic = Layout::classicFont(state.dpi);
    state.title = Layout::classicFont(state.dpi, 1350);

    // A template without controls or font; the controls are laid out in twips
    // when the dialog starts. DLGTEMPLATE, then empty menu, class and title.
    alignas(4) std::array<WORD, 12> dialogTemplate{};
    DLGTEMPLATE header{};
    header.style = Style;
    header.dwExtendedStyle = WS_EX_DLGMODALFRAME;
    static_assert(sizeof header + 3 * sizeof(WORD) <= sizeof dialogTemplate);
    std::memcpy(dialogTemplate.data(), &header, sizeof header);
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()),
                            owner, dialogProc, reinterpret_cast<LPARAM>(&state));
}

} // namespace win32
