#include "app/win32/MainWindow.h"

#include "app/behaviour/FittedSize.h"
#include "app/behaviour/FocusMark.h"
#include "app/win32/AboutDialog.h"
#include "app/win32/Controls.h"
#include "common/WideText_win32.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <functional>
#include <utility>

namespace win32 {

namespace {

constexpr wchar_t ClassName[] = L"QuillmarMainWindow";
// Not WS_CLIPCHILDREN: the frame paints no inside, the window's own background shows there.
constexpr DWORD Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// The timers' ids: EventLoop::Timer's numbers plus one.
constexpr UINT_PTR timerId(EventLoop::Timer which)
{
    return static_cast<UINT_PTR>(which) + 1;
}
// A task posted from another thread; lParam: the std::function<void()> to run.
constexpr UINT RunPostedTask = WM_APP + 10;
using FormTable::Main;

// A second window's registering (the tests open many) fails and changes nothing.
void registerClasses(HINSTANCE instance)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    Controls::registerWindowClass(instance, DefWindowProcW, ClassName, LoadCursorW(nullptr, IDC_ARROW),
                                  LoadIconW(instance, L"IDI_ICON1"), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    HCURSOR hand = LoadCursorW(instance, L"POINTING_HAND");
    Controls::registerClasses(instance, hand ? hand : LoadCursorW(nullptr, IDC_HAND));
    ChartBox::registerClass(instance);
}

// A screen's area less the taskbar and docked bars; the main screen's first.
BOOL CALLBACK addWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM list)
{
    MONITORINFO info{sizeof info, {}, {}, 0};
    if (!GetMonitorInfoW(monitor, &info))
        return TRUE;
    auto& areas = *reinterpret_cast<std::vector<WindowPlacement::Rect>*>(list);
    const WindowPlacement::Rect area{info.rcWork.left, info.rcWork.top, info.rcWork.right - info.rcWork.left,
                                     info.rcWork.bottom - info.rcWork.top};
    areas.insert((info.dwFlags & MONITORINFOF_PRIMARY) ? areas.begin() : areas.end(), area);
    return TRUE;
}

// The task a RunPostedTask message carries, which the message owned.
std::function<void()> takePostedTask(LPARAM lParam)
{
    const std::unique_ptr<std::function<void()>> task(reinterpret_cast<std::function<void()>*>(lParam));
    return std::move(*task);
}

// Tab and the dialog keys move between the controls of the message's window or dialog.
void dispatch(MSG& message)
{
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (root && IsDialogMessageW(root, &message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

} // namespace

MainWindow::MainWindow(Services services, ColorChooser chooseColor)
    : m_chooseColor(std::move(chooseColor)),
      m_behaviour(std::make_unique<MainWindowBehaviour>(*this, *this, std::move(services)))
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    registerClasses(instance);
    const UINT dpi = GetDpiForSystem();
    m_window =
        CreateWindowExW(WS_EX_CONTROLPARENT, ClassName, WideText::fromUtf8(FormTable::mainForm.caption).c_str(), Style,
                        Layout::toPixels(FormTable::DesignedLeft, dpi), Layout::toPixels(FormTable::DesignedTop, dpi),
                        0, 0, nullptr, nullptr, instance, nullptr);
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(windowProc));
    m_dpi = GetDpiForWindow(m_window);
    m_customColors.fill(RGB(255, 255, 255));
    createControls();
    // The client area in twips at the window's DPI, then its controls.
    RECT outer{0, 0, Layout::toPixels(FormTable::mainForm.clientWidth, m_dpi),
               Layout::toPixels(FormTable::mainForm.clientHeight, m_dpi)};
    AdjustWindowRectExForDpi(&outer, Style, FALSE, WS_EX_CONTROLPARENT, m_dpi);
    SetWindowPos(m_window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    layOutControls();
    m_behaviour->Form_Load();
}

// A window the user closed is gone already; destroying it again fails, harmlessly.
MainWindow::~MainWindow()
{
    DestroyWindow(m_window);
}

// The focus marks start hidden or shown as the last input was the mouse or the
// keyboard, as in any dialog box.
void MainWindow::show(int showCommand)
{
    SendMessageW(m_window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
    ShowWindow(m_window, showCommand);
    UpdateWindow(m_window);
}

int MainWindow::run()
{
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        dispatch(message);
    return static_cast<int>(message.wParam);
}

// The form table's controls in its order, which is the tab order; the frame
// comes last, beneath everything it surrounds. The figures' tips show over them.
void MainWindow::createControls()
{
    for (std::size_t index = 0; index < FormTable::mainControls.size(); ++index) {
        const auto which = static_cast<Main>(index);
        if (which == Main::picDRIVE)
            m_chart = std::make_unique<ChartBox>(m_window, idOf(which));
        else
            Layout::createControl(m_window, FormTable::mainControls[index], idOf(which));
    }
    m_toolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0,
                                0, 0, m_window, nullptr, nullptr, nullptr);
    for (const Main figure : {Main::lblFREE, Main::lblUSED, Main::lblTOTAL})
        sendToolTip(TTM_ADDTOOLW, figure, L"");
    SetFocus(m_chart->handle());
}

void MainWindow::sendToolTip(UINT message, Main figure, const wchar_t* text)
{
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_window;
    tool.uId = reinterpret_cast<UINT_PTR>(control(figure));
    tool.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(m_toolTip, message, 0, reinterpret_cast<LPARAM>(&tool));
}

// Every control in twips at the window's DPI, in faces of that DPI.
void MainWindow::layOutControls()
{
    // The old faces stay until every control has its new one.
    const Layout::Font oldFont = std::move(m_font);
    const auto oldSmallerFonts = std::exchange(m_smallerFonts, {});
    m_font = Layout::classicFont(m_dpi);
    m_linkFont = Layout::classicFont(m_dpi, FormTable::control(Main::lblVERSION).pointSize, true);
    for (std::size_t index = 0; index < FormTable::mainControls.size(); ++index) {
        const bool link = FormTable::mainControls[index].kind == FormTable::Kind::Link;
        SendMessageW(control(static_cast<Main>(index)), WM_SETFONT,
                     reinterpret_cast<WPARAM>((link ? m_linkFont : m_font).get()), FALSE);
        placeControl(static_cast<Main>(index));
    }
    InvalidateRect(m_window, nullptr, TRUE);
}

// At the table's rectangle; a label sized to its text keeps its right edge; a
// drop-down list's height includes its opened list, room for eight drives.
void MainWindow::placeControl(Main which)
{
    const FormTable::Control& design = FormTable::control(which);
    RECT place = Layout::rect(FormTable::inWindow(design), m_dpi);
    if (design.kind == FormTable::Kind::ChartBox)
        return m_chart->place(place);
    if (design.kind == FormTable::Kind::DriveList)
        place.bottom += 8 * (place.bottom - place.top);
    MoveWindow(control(which), place.left, place.top, place.right - place.left, place.bottom - place.top, FALSE);
    if (design.kind == FormTable::Kind::Figure)
        SendMessageW(control(which), WM_SETFONT, reinterpret_cast<WPARAM>(figureFont(which)), FALSE);
    if (FormTable::keepsRightEdge(design.kind))
        Layout::fitToTextLeftwards(control(which), place,
                                   design.kind == FormTable::Kind::Link ? FocusMark::LabelPadding : 0);
}

// A figure longer than the placeholder grows leftwards towards its caption, in
// a face made smaller just enough to keep clear of it; one that fits keeps the window's.
HFONT MainWindow::figureFont(Main figure)
{
    HWND label = control(figure);
    const std::wstring text = Layout::windowText(label);
    HDC dc = GetDC(label);
    const double size = FittedSize::pointSizeToFit(
        FormTable::control(figure).pointSize, FittedSize::figureRoom(figure, static_cast<int>(m_dpi)),
        [this, dc, &text](double pointSize) { return Layout::textWidth(dc, fontAt(pointSize), text); });
    ReleaseDC(label, dc);
    return fontAt(size);
}

// The window's face is the figures' designed one.
HFONT MainWindow::fontAt(double pointSize)
{
    if (pointSize == FormTable::control(Main::lblFREE).pointSize)
        return m_font.get();
    Layout::Font& font = m_smallerFonts[pointSize];
    if (!font)
        font = Layout::classicFont(m_dpi, pointSize);
    return font.get();
}

// Screen readers on Windows read a static's own text and the caption before
// it; the standard controls need no accessible name of their own.
void MainWindow::setText(Text which, const std::string& text)
{
    const std::wstring wide = WideText::fromUtf8(text);
    const TextPlace place = placeOf(which);
    if (!place.control)
        SetWindowTextW(m_window, wide.c_str());
    else if (place.as == TextPlace::As::ToolTip)
        sendToolTip(TTM_UPDATETIPTEXTW, *place.control, wide.c_str());
    else if (place.as != TextPlace::As::AccessibleName)
        SetWindowTextW(control(*place.control), wide.c_str());
    if (place.control && place.as == TextPlace::As::Text)
        placeControl(*place.control);
}

void MainWindow::setSwatchColor(Swatch which, std::int32_t color)
{
    Controls::setSwatchColor(control(which == Swatch::Used ? Main::lblUSEDLEG : Main::lblFREELEG),
                             static_cast<COLORREF>(color));
}

void MainWindow::showChart(const std::optional<ChartPicture>& picture)
{
    m_chart->show(picture);
}

void MainWindow::showDrives(const std::vector<std::string>& texts, std::optional<std::size_t> current)
{
    HWND list = control(Main::Drive1);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const std::string& text : texts)
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText::fromUtf8(text).c_str()));
    SendMessageW(list, CB_SETCURSEL, current ? static_cast<WPARAM>(*current) : static_cast<WPARAM>(-1), 0);
}

void MainWindow::runTimer(Timer which, std::chrono::milliseconds interval)
{
    if (which == Timer::Refresh)
        m_timerEnabled = true;
    SetTimer(m_window, timerId(which), static_cast<UINT>(std::max<long long>(interval.count(), USER_TIMER_MINIMUM)),
             nullptr);
}

void MainWindow::stopTimer(Timer which)
{
    if (which == Timer::Refresh)
        m_timerEnabled = false;
    KillTimer(m_window, timerId(which));
}

WindowPlacement::Rect MainWindow::frame() const
{
    RECT outer{};
    GetWindowRect(m_window, &outer);
    return {outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top};
}

std::vector<WindowPlacement::Rect> MainWindow::availableAreas() const
{
    std::vector<WindowPlacement::Rect> areas;
    EnumDisplayMonitors(nullptr, nullptr, addWorkArea, reinterpret_cast<LPARAM>(&areas));
    return areas;
}

double MainWindow::twipsPerPixel() const
{
    return 1440.0 / m_dpi;
}

void MainWindow::moveTo(int left, int top)
{
    SetWindowPos(m_window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

UsageChart::ChartRect MainWindow::chartBox() const
{
    return {0, 0, m_chart->size().cx, m_chart->size().cy};
}

std::optional<std::int32_t> MainWindow::askColor(std::int32_t start)
{
    if (m_chooseColor)
        return m_chooseColor(m_window, start);
    // The common dialogs' library, and all it loads, only once the dialog is wanted.
    static HMODULE const dialogs = LoadLibraryW(L"comdlg32.dll");
    const auto find = [](const char* name) {
        return reinterpret_cast<void (*)()>(dialogs ? GetProcAddress(dialogs, name) : nullptr);
    };
    const auto chooseColor = reinterpret_cast<BOOL(WINAPI*)(LPCHOOSECOLORW)>(find("ChooseColorW"));
    const auto extendedError = reinterpret_cast<DWORD(WINAPI*)()>(find("CommDlgExtendedError"));
    if (!chooseColor || !extendedError)
        return std::nullopt;

    CHOOSECOLORW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = m_window;
    dialog.rgbResult = static_cast<COLORREF>(start);
    dialog.lpCustColors = m_customColors.data();
    dialog.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (chooseColor(&dialog))
        return static_cast<std::int32_t>(dialog.rgbResult);
    // Cancel keeps the starting colour; a dialog that could not open changes nothing.
    return extendedError() == 0 ? std::optional(start) : std::nullopt;
}

void MainWindow::openAbout()
{
    ShowAboutDialog(m_window);
}

void MainWindow::closeWindow()
{
    SendMessageW(m_window, WM_CLOSE, 0, 0);
}

void MainWindow::processWaitingEvents()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // For the loop that waits for it.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        dispatch(message);
    }
}

EventLoop::Poster MainWindow::poster()
{
    // A window that is gone takes no messages: the task is dropped then.
    return [window = m_window](std::function<void()> task) {
        auto* posted = new std::function<void()>(std::move(task));
        if (!PostMessageW(window, RunPostedTask, 0, reinterpret_cast<LPARAM>(posted)))
            delete posted;
    };
}

// The settings are written once: at close, or at the session's end (log-off,
// shutdown), after which Windows may end the process without a close.
void MainWindow::queryUnloadOnce()
{
    if (m_settingsWritten)
        return;
    m_settingsWritten = true;
    (void)m_behaviour->Form_QueryUnload();
}

void MainWindow::onCommand(int id, int code)
{
    if (id != idOf(Main::Drive1))
        return;
    HWND list = control(Main::Drive1);
    if (code == CBN_DROPDOWN) {
        m_behaviour->Drive1_Opened();
        return;
    }
    // A pick from the opened list ends in CBN_SELENDOK, also one of the drive
    // shown: one come back shows again. The arrow keys on the closed list pick too.
    const bool picked =
        code == CBN_SELENDOK || (code == CBN_SELCHANGE && !SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0));
    const LRESULT index = picked ? SendMessageW(list, CB_GETCURSEL, 0, 0) : CB_ERR;
    if (index >= 0)
        m_behaviour->Drive1_Picked(static_cast<std::size_t>(index));
}

void MainWindow::onTimer(UINT_PTR timer)
{
    if (timer == timerId(Timer::Refresh) && m_timerEnabled) {
        m_behaviour->Timer1_Timer();
    } else if (timer == timerId(Timer::AnswerDeadline)) {
        KillTimer(m_window, timer);
        m_behaviour->answerDeadline_Timer();
    }
}

// A close while a handler runs waits until it has returned (closeWindow).
void MainWindow::onClose()
{
    if (!m_behaviour->mayClose())
        return;
    queryUnloadOnce();
    m_closing = true;
    DestroyWindow(m_window);
}

// The window's timers go with it.
void MainWindow::onDestroy()
{
    // Late answers still queued for the window are dropped with it.
    MSG posted{};
    while (PeekMessageW(&posted, m_window, RunPostedTask, RunPostedTask, PM_REMOVE))
        (void)takePostedTask(posted.lParam);
    if (m_closing)
        PostQuitMessage(0);
}

// Moved to a screen of another DPI: the window takes Windows' suggested place
// and size whole (a rectangle of its own could straddle the screens again and
// bounce between the DPIs), then lays out its controls and chart at the new DPI.
void MainWindow::onDpiChanged(UINT dpi, const RECT& suggested)
{
    m_dpi = dpi;
    SetWindowPos(m_window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    layOutControls();
    m_behaviour->ChartBoxResized();
}

// A colour scheme switched (high contrast turned on, say) or a system setting
// changed: everything, the chart's bitmap too, is drawn again in the colours now in force.
void MainWindow::onSchemeChanged(UINT message, WPARAM wParam, LPARAM lParam)
{
    m_chart->redraw();
    Controls::passOnSchemeChange(m_window, message, wParam, lParam);
}

// The focus goes back to the control that had it, as in a dialog: after the
// colour or About dialog, a restore, or another window; by default it would go to the window.
void MainWindow::onActivate(bool active)
{
    if (!active) {
        HWND focus = GetFocus();
        if (focus && IsChild(m_window, focus))
            m_focusBeforeDeactivation = focus;
        return;
    }
    HWND back = m_focusBeforeDeactivation;
    if (!back || !IsChild(m_window, back) || !IsWindowEnabled(back))
        back = m_chart->handle();
    SetFocus(back);
}

// A swatch's button and shift state as it was released, from its window.
void MainWindow::onSwatchMouseUp(int id, int button, int shift)
{
    std::invoke(id == idOf(Main::lblUSEDLEG) ? &MainWindowBehaviour::lblUSEDLEG_MouseUp
                                             : &MainWindowBehaviour::lblFREELEG_MouseUp,
                *m_behaviour, button, shift, 0.0F, 0.0F);
}

void MainWindow::onLinkClick(int id)
{
    if (id == idOf(Main::lblDATE))
        m_behaviour->lblDATE_Click();
    else
        m_behaviour->lblVERSION_Click();
}

// The program's own messages and those of its controls.
LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case Controls::SwatchMouseUp:
        onSwatchMouseUp(static_cast<int>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case Controls::LinkClick:
        onLinkClick(static_cast<int>(wParam));
        return 0;
    case WM_TIMER:
        onTimer(wParam);
        return 0;
    case RunPostedTask:
        takePostedTask(lParam)();
        return 0;
    case WM_CLOSE:
        onClose();
        return 0;
    case WM_ENDSESSION:
        if (wParam)
            queryUnloadOnce();
        return 0;
    case WM_DESTROY:
        onDestroy();
        return 0;
    default:
        return handleSystemMessage(message, wParam, lParam);
    }
}

// The system's messages: colours, the scheme, the DPI and the activation.
LRESULT MainWindow::handleSystemMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CTLCOLORSTATIC:
        return Controls::labelColors(reinterpret_cast<HDC>(wParam));
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        onSchemeChanged(message, wParam, lParam);
        return 0;
    case WM_DPICHANGED:
        onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_ACTIVATE:
        onActivate(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_SETFOCUS:
        // Given the focus itself (restored from the taskbar, say): it passes on.
        onActivate(true);
        return 0;
    default:
        return DefWindowProcW(m_window, message, wParam, lParam);
    }
}

// Set as the procedure only once the window holds its MainWindow.
LRESULT CALLBACK MainWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA))
        ->handleMessage(message, wParam, lParam);
}

} // namespace win32
