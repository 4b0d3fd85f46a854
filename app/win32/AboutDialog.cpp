#include "app/win32/AboutDialog.h"

#include "app/behaviour/AboutTexts.h"
#include "app/win32/Controls.h"
#include "app/win32/Layout.h"
#include "common/WideText_win32.h"

#include <array>
#include <string_view>
#include <utility>

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

// The text a control shows: AboutTexts' where it has one, else the table's.
std::string_view shownText(About which, const AboutTexts::Dialog& texts)
{
    using Dialog = AboutTexts::Dialog;
    constexpr std::array<std::pair<About, std::string Dialog::*>, 4> fromTexts{
        {{About::lblTitle, &Dialog::title},
         {About::lblVersion, &Dialog::version},
         {About::lblDescription, &Dialog::description},
         {About::lblDisclaimer, &Dialog::legal}}};
    for (const auto& [control, text] : fromTexts)
        if (control == which)
            return texts.*text;
    return FormTable::control(which).text;
}

// The form table's controls in tab order, with the texts of AboutTexts; the
// icon at its own size, 32 x 32 at 96 DPI.
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
        // A label at least as wide as its text draws, from its left edge: a
        // system face wider than the designed one would cut its last column.
        const int width = design.kind == FormTable::Kind::Label ? Layout::labelTextWidth(control) : 0;
        if (width > r.right - r.left)
            MoveWindow(control, r.left, r.top, width, r.bottom - r.top, FALSE);
    }
    const int iconSize = Layout::toPixels(FormTable::control(About::Picture1).rect.width, state.dpi);
    HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), L"IDI_ICON1", IMAGE_ICON, iconSize, iconSize, LR_SHARED);
    SendDlgItemMessageW(dialog, idOf(About::Picture1), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
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
        // The main window's button text on button face, not the default window text.
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
    const UINT dpi = GetDpiForWindow(owner);
    DialogState state{dpi, Layout::classicFont(dpi),
                      Layout::classicFont(dpi, FormTable::control(About::lblTitle).pointSize)};

    // A template without controls or font; the controls are laid out in twips
    // when the dialog starts. DLGTEMPLATE, then empty menu, class and title.
    struct alignas(4) Template {
        DLGTEMPLATE header;
        std::array<WORD, 3> noMenuClassOrTitle;
    };
    const Template dialogTemplate{{Style, WS_EX_DLGMODALFRAME, 0, 0, 0, 0, 0}, {}};
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &dialogTemplate.header, owner, dialogProc,
                            reinterpret_cast<LPARAM>(&state));
}

} // namespace win32
