#include "app/win32/MainWindow.h"

#include "AppInfo.h"
#include "app/win32/AboutDialog.h"
#include "app/win32/Controls.h"
#include "drivespace/GetDiskSpace.h"
#include "settings/SettingsStore.h"
#include "settings/WideText_win32.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace win32 {

namespace {

constexpr wchar_t ClassName[] = L"QuillmarMainWindow";
// Not WS_CLIPCHILDREN: the frame paints no inside, the window's own background shows there.
constexpr DWORD Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr UINT_PTR Timer1 = 1;
constexpr UINT_PTR AnswerDeadline = 2;
// A task posted from another thread; lParam: the std::function<void()> to run.
constexpr UINT RunPostedTask = WM_APP + 10;
constexpr UINT Timer1Interval = 1000; // milliseconds

// Client area and designed position, in twips: 321 x 377 pixels at 96 DPI.
constexpr int ClientWidth = 4815;
constexpr int ClientHeight = 5655;
constexpr int DesignedLeft = 2265;
constexpr int DesignedTop = 4740;
// The frame's corner: controls inside it are laid out from there.
constexpr int FrameLeft = 60;
constexpr int FrameTop = 60;

// Labels that size themselves to their text, keeping their right edge; in
// twips inside the frame.
struct LabelPlace {
    MainWindow::ControlId id;
    int left, top, width, height;
};
constexpr LabelPlace RightAlignedLabels[] = {
    {MainWindow::lblFreeCaption, 300, 720, 435, 195},     {MainWindow::lblUsedCaption, 300, 360, 435, 195},
    {MainWindow::lblCapacityCaption, 75, 1080, 660, 195}, {MainWindow::lblFREE, 720, 720, 1455, 195},
    {MainWindow::lblUSED, 720, 360, 1455, 195},           {MainWindow::lblTOTAL, 720, 1080, 1455, 195},
    {MainWindow::lblVERSION, 3780, 960, 795, 195},        {MainWindow::lblDATE, 3975, 1200, 600, 195},
};

void registerClasses(HINSTANCE instance)
{
    static const bool registered = [instance] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSEXW main{};
        main.cbSize = sizeof main;
        main.lpfnWndProc = DefWindowProcW;
        main.hInstance = instance;
        main.hIcon = LoadIconW(instance, L"IDI_ICON1");
        main.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        main.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        main.lpszClassName = ClassName;
        RegisterClassExW(&main);
        HCURSOR hand = LoadCursorW(instance, L"POINTING_HAND");
        Controls::registerClasses(instance, hand ? hand : LoadCursorW(nullptr, IDC_HAND));
        ChartBox::registerClass(instance);
        return true;
    }();
    (void)registered;
}

HWND createChild(HWND parent, const wchar_t* kind, const wchar_t* text, DWORD style, int id)
{
    return CreateWindowExW(0, kind, text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

// A screen's area less the taskbar and docked bars; the main screen's first.
BOOL CALLBACK addWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM list)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info))
        return TRUE;
    auto& areas = *reinterpret_cast<std::vector<WindowPlacement::Rect>*>(list);
    const WindowPlacement::Rect area{info.rcWork.left, info.rcWork.top, info.rcWork.right - info.rcWork.left,
                                     info.rcWork.bottom - info.rcWork.top};
    areas.insert((info.dwFlags & MONITORINFOF_PRIMARY) ? areas.begin() : areas.end(), area);
    return TRUE;
}

} // namespace

MainWindow::MainWindow() : MainWindow(Seams{}) {}

namespace {

// The drive query with its short wait and deadline, on worker threads: the
// system's, or the one a test gives.
AskDriveSpace driveSpaceAsker(const TimedDriveQuery::Query& query)
{
    if (!query)
        return platformDriveSpaceAsker();
    auto workers = std::make_shared<TimedDriveQuery>(query);
    return [workers](Currency& capacity, Currency& free, const std::string& rootPath, std::chrono::milliseconds wait,
                     LateAnswer late) { return workers->ask(capacity, free, rootPath, wait, std::move(late)); };
}

} // namespace

MainWindow::MainWindow(Seams seams) : m_seams(std::move(seams))
{
    if (!m_seams.listDrives)
        m_seams.listDrives = DriveList::ListDrives;
    if (!m_seams.settings) {
        m_ownSettings = std::make_unique<SettingsStore>(AppInfo::Title);
        m_seams.settings = m_ownSettings.get();
    }
    m_behaviour =
        std::make_unique<MainWindowBehaviour>(*this, *m_seams.settings, driveSpaceAsker(m_seams.queryDriveSpace));

    HINSTANCE instance = GetModuleHandleW(nullptr);
    registerClasses(instance);
    const UINT dpi = GetDpiForSystem();
    m_window = CreateWindowExW(WS_EX_CONTROLPARENT, ClassName, L"Form1", Style, Layout::toPixels(DesignedLeft, dpi),
                               Layout::toPixels(DesignedTop, dpi), 0, 0, nullptr, nullptr, instance, nullptr);
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(windowProc));
    m_dpi = GetDpiForWindow(m_window);
    createControls();
    applyLayout();
    m_behaviour->Form_Load();
}

MainWindow::~MainWindow()
{
    if (IsWindow(m_window))
        DestroyWindow(m_window);
}

void MainWindow::show(int showCommand)
{
    ShowWindow(m_window, showCommand);
    UpdateWindow(m_window);
}

int MainWindow::run()
{
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        HWND root = GetAncestor(message.hwnd, GA_ROOT);
        if (root && IsDialogMessageW(root, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

// Created in tab order: chart box, drive list, swatches, version and date links;
// then the labels, and the frame last, beneath everything it surrounds.
void MainWindow::createControls()
{
    m_chart = std::make_unique<ChartBox>(m_window, picDRIVE);
    createChild(m_window, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, Drive1);
    createChild(m_window, Controls::SwatchClass, L"Used colour", WS_TABSTOP, lblUSEDLEG);
    createChild(m_window, Controls::SwatchClass, L"Free colour", WS_TABSTOP, lblFREELEG);
    createChild(m_window, Controls::LinkClass, L"Version 0.1", WS_TABSTOP, lblVERSION);
    createChild(m_window, Controls::LinkClass, L"6\\21\\98", WS_TABSTOP, lblDATE);
    createChild(m_window, WC_STATICW, L"Free:", SS_RIGHT | SS_NOPREFIX, lblFreeCaption);
    createChild(m_window, WC_STATICW, L"Used:", SS_RIGHT | SS_NOPREFIX, lblUsedCaption);
    createChild(m_window, WC_STATICW, L"Capacity:", SS_RIGHT | SS_NOPREFIX, lblCapacityCaption);
    // SS_NOTIFY: the figures receive the mouse, so that their tooltips show.
    for (const ControlId figure : {lblFREE, lblUSED, lblTOTAL})
        createChild(m_window, WC_STATICW, L"000,000,000,000", SS_RIGHT | SS_NOPREFIX | SS_NOTIFY, figure);
    createChild(m_window, WC_BUTTONW, L"", BS_GROUPBOX, fra);

    m_toolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0,
                                0, 0, m_window, nullptr, nullptr, nullptr);
    for (const ControlId figure : {lblFREE, lblUSED, lblTOTAL}) {
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = m_window;
        tool.uId = reinterpret_cast<UINT_PTR>(control(figure));
        tool.lpszText = const_cast<wchar_t*>(L"");
        SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    m_drives = m_seams.listDrives();
    // The list starts on the drive that holds the current directory.
    std::wstring directory(MAX_PATH + 1, L'\0');
    directory.resize(GetCurrentDirectoryW(MAX_PATH + 1, directory.data()));
    fillDrives(m_drives, DriveList::IndexOfDriveHolding(m_drives, WideText::toUtf8(directory)));
    SetFocus(m_chart->handle());
}

// Everything in twips at the window's DPI: sizes, fonts and the client area.
void MainWindow::applyLayout()
{
    m_font = Layout::classicFont(m_dpi);
    m_linkFont = Layout::classicFont(m_dpi, 825, true);
    RECT outer{0, 0, Layout::toPixels(ClientWidth, m_dpi), Layout::toPixels(ClientHeight, m_dpi)};
    AdjustWindowRectExForDpi(&outer, Style, FALSE, WS_EX_CONTROLPARENT, m_dpi);
    SetWindowPos(m_window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    for (HWND child = GetWindow(m_window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
    for (const ControlId link : {lblVERSION, lblDATE})
        SendMessageW(control(link), WM_SETFONT, reinterpret_cast<WPARAM>(m_linkFont.get()), FALSE);

    m_chart->place(Layout::rect(480, 1680, 3855, 3855, m_dpi));
    const auto inFrame = [this](int left, int top, int width, int height) {
        return Layout::rect(FrameLeft + left, FrameTop + top, width, height, m_dpi);
    };
    const auto place = [this](ControlId id, const RECT& r) {
        MoveWindow(control(id), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    };
    place(fra, Layout::rect(FrameLeft, FrameTop, 4695, 1515, m_dpi));
    // A drop-down list's height includes its opened list: room for eight drives.
    RECT driveList = inFrame(2340, 360, 2175, 315);
    driveList.bottom += 8 * (driveList.bottom - driveList.top);
    place(Drive1, driveList);
    place(lblUSEDLEG, inFrame(60, 360, 195, 195));
    place(lblFREELEG, inFrame(60, 720, 195, 195));
    for (const LabelPlace& label : RightAlignedLabels)
        placeLabel(label.id, label.left, label.top, label.width, label.height);
    InvalidateRect(m_window, nullptr, TRUE);
}

void MainWindow::placeLabel(ControlId id, int left, int top, int width, int height)
{
    const RECT design = Layout::rect(FrameLeft + left, FrameTop + top, width, height, m_dpi);
    MoveWindow(control(id), design.left, design.top, design.right - design.left, design.bottom - design.top, FALSE);
    Layout::fitToTextLeftwards(control(id), design.right);
}

void MainWindow::setText(Text which, const std::string& text)
{
    const std::wstring wide = WideText::fromUtf8(text);
    const auto label = [&](ControlId id) {
        SetWindowTextW(control(id), wide.c_str());
        const auto* place = std::find_if(std::begin(RightAlignedLabels), std::end(RightAlignedLabels),
                                         [id](const LabelPlace& p) { return p.id == id; });
        placeLabel(id, place->left, place->top, place->width, place->height);
    };
    const auto toolTip = [&](ControlId id) {
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = m_window;
        tool.uId = reinterpret_cast<UINT_PTR>(control(id));
        tool.lpszText = const_cast<wchar_t*>(wide.c_str());
        SendMessageW(m_toolTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    };
    switch (which) {
    case Text::Caption:
        SetWindowTextW(m_window, wide.c_str());
        break;
    case Text::Version:
        label(lblVERSION);
        break;
    case Text::Date:
        label(lblDATE);
        break;
    case Text::Free:
        label(lblFREE);
        break;
    case Text::Used:
        label(lblUSED);
        break;
    case Text::Total:
        label(lblTOTAL);
        break;
    case Text::FreeDescription:
        toolTip(lblFREE);
        break;
    case Text::UsedDescription:
        toolTip(lblUSED);
        break;
    case Text::TotalDescription:
        toolTip(lblTOTAL);
        break;
    case Text::ChartDescription:
        SetWindowTextW(m_chart->handle(), wide.c_str());
        break;
    case Text::FreeAccessibleName:
    case Text::UsedAccessibleName:
    case Text::TotalAccessibleName:
        // Screen readers on Windows read a static's own text and the caption
        // before it; the standard controls need no name of their own.
        break;
    }
}

void MainWindow::setSwatchColor(Swatch which, std::int32_t color)
{
    Controls::setSwatchColor(control(which == Swatch::Used ? lblUSEDLEG : lblFREELEG), static_cast<COLORREF>(color));
}

void MainWindow::showChart(const std::optional<ChartPicture>& picture)
{
    m_chart->show(picture);
}

void MainWindow::setTimerEnabled(bool enabled)
{
    m_timerEnabled = enabled;
    if (enabled)
        SetTimer(m_window, Timer1, Timer1Interval, nullptr);
    else
        KillTimer(m_window, Timer1);
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

std::optional<DriveList::DriveEntry> MainWindow::currentDrive() const
{
    const LRESULT index = SendMessageW(control(Drive1), CB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= m_drives.size())
        return std::nullopt;
    return m_drives[static_cast<std::size_t>(index)];
}

bool MainWindow::setDrive(const std::string& rootPath)
{
    std::size_t index = DriveList::IndexOfRoot(m_drives, rootPath);
    if (index == m_drives.size()) {
        // The drive may have come since the list was read.
        reloadDrives();
        index = DriveList::IndexOfRoot(m_drives, rootPath);
    }
    if (index == m_drives.size())
        return false;
    SendMessageW(control(Drive1), CB_SETCURSEL, index, 0);
    return true;
}

// Reads the drives again, keeping the current one selected; a current drive
// that went away stays in the list while it is current.
void MainWindow::reloadDrives()
{
    std::vector<DriveList::DriveEntry> entries = m_seams.listDrives();
    const std::optional<DriveList::DriveEntry> current = currentDrive();
    std::size_t index = current ? DriveList::IndexOfRoot(entries, current->rootPath) : 0;
    if (current && index == entries.size())
        entries.push_back(*current);
    fillDrives(entries, index);
}

void MainWindow::fillDrives(const std::vector<DriveList::DriveEntry>& entries, std::size_t current)
{
    m_drives = entries;
    HWND list = control(Drive1);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const DriveList::DriveEntry& entry : m_drives)
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText::fromUtf8(entry.text).c_str()));
    if (current < m_drives.size())
        SendMessageW(list, CB_SETCURSEL, current, 0);
}

std::optional<std::int32_t> MainWindow::askColor(std::int32_t start)
{
    if (m_seams.chooseColor)
        return m_seams.chooseColor(m_window, start);
    // The common dialogs' library, with all it loads in turn, is loaded when
    // the colour dialog is first wanted, not at every start.
    static HMODULE const dialogs = LoadLibraryW(L"comdlg32.dll");
    using ChooseColorFunction = BOOL(WINAPI*)(LPCHOOSECOLORW);
    using ErrorFunction = DWORD(WINAPI*)();
    const auto chooseColor = reinterpret_cast<ChooseColorFunction>(
        reinterpret_cast<void (*)()>(dialogs ? GetProcAddress(dialogs, "ChooseColorW") : nullptr));
    const auto extendedError = reinterpret_cast<ErrorFunction>(
        reinterpret_cast<void (*)()>(dialogs ? GetProcAddress(dialogs, "CommDlgExtendedError") : nullptr));
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
    if (extendedError() == 0)
        return start;
    return std::nullopt;
}

void MainWindow::openAbout()
{
    ShowAboutDialog(m_window);
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
        HWND root = GetAncestor(message.hwnd, GA_ROOT);
        if (root && IsDialogMessageW(root, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

MainWindowView::Poster MainWindow::poster()
{
    // A window that is gone takes no messages: the task is dropped then.
    return [window = m_window](std::function<void()> task) {
        auto* posted = new std::function<void()>(std::move(task));
        if (!PostMessageW(window, RunPostedTask, 0, reinterpret_cast<LPARAM>(posted)))
            delete posted;
    };
}

void MainWindow::setAnswerDeadline(std::optional<std::chrono::milliseconds> after)
{
    if (after)
        SetTimer(m_window, AnswerDeadline, static_cast<UINT>(std::max<long long>(after->count(), USER_TIMER_MINIMUM)),
                 nullptr);
    else
        KillTimer(m_window, AnswerDeadline);
}

// The settings are written once: at close, or when the session ends (log-off,
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
    if (id != Drive1)
        return;
    switch (code) {
    case CBN_DROPDOWN:
        reloadDrives();
        break;
    case CBN_SELENDOK:
        // A pick from the opened list, also of the drive already shown: a drive
        // that came back shows its figures again.
        m_behaviour->Drive1_Change();
        break;
    case CBN_SELCHANGE:
        // The arrow keys on the closed list; picks from the opened list end in
        // CBN_SELENDOK.
        if (!SendMessageW(control(Drive1), CB_GETDROPPEDSTATE, 0, 0))
            m_behaviour->Drive1_Change();
        break;
    default:
        break;
    }
}

// Moved to a screen of another DPI: everything laid out again at the new
// one, the chart drawn at its new size.
void MainWindow::onDpiChanged(UINT dpi, const RECT& suggested)
{
    m_dpi = dpi;
    SetWindowPos(m_window, nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    applyLayout();
    m_behaviour->ChartBoxResized();
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case Controls::SwatchMouseUp:
        std::invoke(wParam == lblUSEDLEG ? &MainWindowBehaviour::lblUSEDLEG_MouseUp
                                         : &MainWindowBehaviour::lblFREELEG_MouseUp,
                    *m_behaviour, LOWORD(lParam), HIWORD(lParam), 0.0F, 0.0F);
        return 0;
    case Controls::LinkClick:
        if (wParam == lblDATE)
            m_behaviour->lblDATE_Click();
        else
            m_behaviour->lblVERSION_Click();
        return 0;
    case WM_TIMER:
        if (wParam == Timer1 && m_timerEnabled) {
            m_behaviour->Timer1_Timer();
        } else if (wParam == AnswerDeadline) {
            KillTimer(m_window, AnswerDeadline);
            m_behaviour->answerDeadline_Timer();
        }
        return 0;
    case RunPostedTask: {
        const std::unique_ptr<std::function<void()>> task(reinterpret_cast<std::function<void()>*>(lParam));
        (*task)();
        return 0;
    }
    case WM_CLOSE:
        queryUnloadOnce();
        m_closing = true;
        DestroyWindow(m_window);
        return 0;
    case WM_ENDSESSION:
        if (wParam)
            queryUnloadOnce();
        return 0;
    case WM_DESTROY: {
        KillTimer(m_window, Timer1);
        KillTimer(m_window, AnswerDeadline);
        // Late answers still queued for the window are dropped with it.
        MSG posted{};
        while (PeekMessageW(&posted, m_window, RunPostedTask, RunPostedTask, PM_REMOVE))
            delete reinterpret_cast<std::function<void()>*>(posted.lParam);
        if (m_closing)
            PostQuitMessage(0);
        return 0;
    }
    case WM_CTLCOLORSTATIC:
        // Labels on the window's button-face background.
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_DPICHANGED:
        onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    default:
        return DefWindowProcW(m_window, message, wParam, lParam);
    }
}

LRESULT CALLBACK MainWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->handleMessage(message, wParam, lParam);
}

} // namespace win32
