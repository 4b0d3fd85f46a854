#include "app/win32/AboutDialog.h"

#include "app/behaviour/AboutTexts.h"
#include "app/win32/Controls.h"
#include "app/win32/Layout.h"
#include "common/WideText_win32.h"

#include <array>
#include <cstring>
#include <string_view>

namespace win32 {

namespace {

constexpr DWORD Style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;

using FormTable::About;

struct DialogState {
    UINT dpi = 96;
    Layout::Font classic;
    Layout::Font title;
};

// The control's id: IDOK for the OK button, 100 and on for the others.
int idOf(About which)
{
    return which == About::cmdOK ? AboutOkId : 100 + static_cast<int>(which);
}

// Sizes the dialog to its client area and puts its outer corner on the owner's.
void placeOverOwner(HWND dialog, UINT dpi)
{
    RECT outer{0, 0, Layout::toPixels(FormTable::aboutForm.clientWidth, dpi),
               Layout::toPixels(FormTable::aboutForm.clientHeight, dpi)};
    AdjustWindowRectExForDpi(&outer, Style, FALSE, WS_EX_DLGMODALFRAME, dpi);
    RECT owner{};
    GetWindowRect(GetWindow(dialog, GW_OWNER), &owner);
    SetWindowPos(dialog, nullptr, owner.left, owner.top, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void showIcon(HWND picture, UINT dpi)
{
    // The icon at its own size, 32 x 32 at 96 DPI.
    const int iconSize = Layout::toPixels(FormTable::control(About::Picture1).rect.width, dpi);
    auto* icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"IDI_ICON1", IMAGE_ICON, iconSize, iconSize,
                                               LR_DEFAULTCOLOR | LR_SHARED));
    SendMessageW(picture, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

// A label at least as wide as its text draws, from its left edge: a face of
// the system's wider than the designed one would cut its last column.
void holdWholeText(HWND label, const RECT& place)
{
    const int width = Layout::labelTextWidth(label);
    if (width > place.right - place.left)
        MoveWindow(label, place.left, place.top, width, place.bottom - place.top, FALSE);
}

// The text a control shows: AboutTexts' where it has one, else the table's.
std::string_view shownText(About which, const AboutTexts::Dialog& texts)
{
    switch (which) {
    case About::lblTitle:
        return texts.title;
    case About::lblVersion:
        return texts.version;
    case About::lblDescription:
        return texts.description;
    case About::lblDisclaimer:
        return texts.legal;
    case About::cmdOK:
    case About::Picture1:
        break;
    }
    return FormTable::control(which).text;
}

// The form table's controls in tab order, with the texts of AboutTexts.
void createControls(HWND dialog, DialogState& state)
{
    const AboutTexts::Dialog texts = AboutTexts::AboutDialog();
    SetWindowTextW(dialog, WideText::fromUtf8(texts.caption).c_str());
    for (std::size_t index = 0; index < FormTable::aboutControls.size(); ++index) {
        const FormTable::Control& design = FormTable::aboutControls[index];
        HWND control = Layout::createControl(dialog, design, idOf(static_cast<About>(index)));
        SetWindowTextW(control, WideText::fromUtf8(shownText(static_cast<About>(index), texts)).c_str());
        const RECT r = Layout::rect(design.rect, state.dpi);
        MoveWindow(control, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
        const bool title = static_cast<About>(index) == About::lblTitle;
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>((title ? state.title : state.classic).get()), FALSE);
        if (design.kind == FormTable::Kind::Label)
            holdWholeText(control, r);
    }
    showIcon(GetDlgItem(dialog, idOf(About::Picture1)), state.dpi);
    SetFocus(GetDlgItem(dialog, AboutOkId));
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
    case WM_CTLCOLORSTATIC:
        // The dialog's face and text are the main window's: button text on
        // button face, not the window text the default gives.
        return static_cast<INT_PTR>(Controls::labelColors(reinterpret_cast<HDC>(wParam)));
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        Controls::passOnSchemeChange(dialog, message, wParam, lParam);
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
    state.title = Layout::classicFont(state.dpi, FormTable::control(About::lblTitle).pointSize);

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
