#include "app/behaviour/MainWindowBehaviour.h"

#include "AppInfo.h"
#include "app/behaviour/AboutTexts.h"
#include "app/behaviour/DriveCaption.h"
#include "app/behaviour/FormTable.h"
#include "app/behaviour/ShiftMask.h"
#include "drivespace/ByteUnits.h"
#include "drivespace/GetDiskSpace.h"
#include "settings/SettingKeys.h"
#include "settings/SettingsAccess.h"
#include "settings/StoredText.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

using Text = MainWindowView::Text;

namespace {

// A figure's label, its tooltip and accessible name, and the caption that name
// starts with.
struct FigureTexts {
    Text figure;
    Text tip;
    Text name;
    std::string_view caption;
};
constexpr FigureTexts FreeTexts{Text::Free, Text::FreeDescription, Text::FreeAccessibleName, "Free:"};
constexpr FigureTexts UsedTexts{Text::Used, Text::UsedDescription, Text::UsedAccessibleName, "Used:"};
constexpr FigureTexts TotalTexts{Text::Total, Text::TotalDescription, Text::TotalAccessibleName, "Capacity:"};

} // namespace

MainWindowBehaviour::MainWindowBehaviour(MainWindowView& window, EventLoop& loop, Services services)
    : m_window(window), m_loop(loop), m_services(std::move(services))
{}

MainWindowBehaviour::Running::Running(MainWindowBehaviour& behaviour) : m_behaviour(behaviour)
{
    ++m_behaviour.m_running;
}

MainWindowBehaviour::Running::~Running()
{
    if (--m_behaviour.m_running == 0 && std::exchange(m_behaviour.m_closeWaiting, false))
        m_behaviour.m_window.closeWindow();
}

bool MainWindowBehaviour::mayClose()
{
    m_closeWaiting = m_running > 0;
    return !m_closeWaiting;
}

void MainWindowBehaviour::Form_Load()
{
    const Running running(*this);
    m_drives.start(listDrives(), m_services.startDirectory);
    showDrives();
    // Timer1 runs from the load on; the refreshes switch it off and on.
    setTimerEnabled(true);
    setText(Text::Version, AboutTexts::VersionLine());
    setText(Text::Date, std::string(AppInfo::AppDate));

    const UsageChart::ChartRect box = m_window.chartBox();
    ChartRight = box.right;
    ChartBottom = box.bottom;

    DrivePath = m_services.settings.GetSetting(SettingKeys::Section, SettingKeys::Drive, SettingKeys::DefaultDrive);
    restorePosition();
    UsedColor = storedColor(SettingKeys::UsedColor, SettingKeys::DefaultUsedColor);
    FreeColor = storedColor(SettingKeys::FreeColor, SettingKeys::DefaultFreeColor);
    m_window.setSwatchColor(MainWindowView::Swatch::Used, UsedColor);
    m_window.setSwatchColor(MainWindowView::Swatch::Free, FreeColor);

    // The list is read again for a drive it lacks, as it may have come since. A
    // stored drive that has gone away leaves the list on the drive it had.
    if (!m_drives.select(DrivePath)) {
        m_drives.reload(listDrives());
        (void)m_drives.select(DrivePath);
    }
    showDrives();
    SelectDrive();
    RefreshDisplay();
    m_loop.processWaitingEvents();
}

void MainWindowBehaviour::showDrives()
{
    auto shown = std::make_pair(m_drives.texts(), m_drives.currentIndex());
    if (m_shownDrives == shown)
        return;
    m_window.showDrives(shown.first, shown.second);
    m_shownDrives = std::move(shown);
}

// A drive's name can be late (a dead network drive): it is listed by its
// letter, and named when the name comes.
std::vector<DriveList::DriveEntry> MainWindowBehaviour::listDrives()
{
    return m_services.listDrives([this, post = m_loop.poster()](const std::string& rootPath, const std::string& text) {
        post([this, rootPath, text] { driveTextCame(rootPath, text); });
    });
}

// The caption names the current drive as the list does.
void MainWindowBehaviour::driveTextCame(const std::string& rootPath, const std::string& text)
{
    if (!m_drives.retitle(rootPath, text))
        return;
    showDrives();
    if (m_drives.current() && m_drives.current()->rootPath == rootPath)
        SelectDrive();
}

void MainWindowBehaviour::Drive1_Opened()
{
    m_drives.reload(listDrives());
    showDrives();
}

// The window already shows the entry picked.
void MainWindowBehaviour::Drive1_Picked(std::size_t index)
{
    if (!m_drives.pick(index))
        return;
    if (m_shownDrives)
        m_shownDrives->second = index;
    Drive1_Change();
}

// The frame's top-left corner to (left, top) in pixels, moved inward as little
// as needed to bring the whole window onto a screen: a small or scaled screen,
// or one since made smaller or unplugged, would otherwise show it only in part.
void MainWindowBehaviour::moveOntoScreen(int left, int top)
{
    const WindowPlacement::Rect frame = m_window.frame();
    const WindowPlacement::Rect placed =
        WindowPlacement::fitOnScreen({left, top, frame.width, frame.height}, m_window.availableAreas());
    m_window.moveTo(placed.left, placed.top);
}

// From the designed position to the stored one. The top is read before the
// left; a text that cannot be read keeps that edge where it was designed.
void MainWindowBehaviour::restorePosition()
{
    moveOntoScreen(static_cast<int>(std::lround(FormTable::DesignedLeft / m_window.twipsPerPixel())),
                   static_cast<int>(std::lround(FormTable::DesignedTop / m_window.twipsPerPixel())));
    const double top = storedPosition(SettingKeys::Y, Top());
    const double left = storedPosition(SettingKeys::X, Left());
    // The window takes whole pixels.
    const double leftPixels = std::nearbyint(left / m_window.twipsPerPixel());
    const double topPixels = std::nearbyint(top / m_window.twipsPerPixel());
    constexpr double limit = 1 << 24; // far beyond any desktop, and safe for int
    if (std::abs(leftPixels) <= limit && std::abs(topPixels) <= limit)
        moveOntoScreen(static_cast<int>(leftPixels), static_cast<int>(topPixels));
}

double MainWindowBehaviour::Left() const
{
    return m_window.frame().left * m_window.twipsPerPixel();
}

double MainWindowBehaviour::Top() const
{
    return m_window.frame().top * m_window.twipsPerPixel();
}

double MainWindowBehaviour::storedPosition(std::string_view key, double current) const
{
    const std::string text =
        m_services.settings.GetSetting(SettingKeys::Section, key, StoredText::SingleText(static_cast<float>(current)));
    // A text that cannot be read, or a value beyond single precision, keeps the
    // window where it is.
    const auto value = StoredText::NumericValue(text);
    const auto single = value ? StoredText::ToSingle(*value) : std::nullopt;
    return single ? *single : current;
}

std::int32_t MainWindowBehaviour::storedColor(std::string_view key, std::int32_t defaultColor) const
{
    const std::string text = m_services.settings.GetSetting(SettingKeys::Section, key, std::to_string(defaultColor));
    // A text that cannot be read, or a value outside 32 bits, keeps the default.
    const auto value = StoredText::NumericValue(text);
    return (value ? StoredText::NearestInt32(*value) : std::nullopt).value_or(defaultColor);
}

// DrivePath and the caption follow the drive list. An empty list (no drive
// could be listed) keeps the drive that was selected or stored.
void MainWindowBehaviour::SelectDrive()
{
    const std::optional<DriveList::DriveEntry> drive = m_drives.current();
    if (!drive)
        return;
    DrivePath = drive->rootPath;
    setText(Text::Caption, "Disk Usage: " + DriveCaption(*drive));
}

// Events already waiting (a tick, a pick, a swatch click) run their whole
// handlers first, nested, and a close among them waits for the outermost
// handler to return (Running). Then the drive is asked, and only the newest
// refresh's answer shows. A refresh of a drive still awaited takes that query
// over with the time already waited: a drive that never answers is not
// available one second after it was first asked, however often asked since.
void MainWindowBehaviour::RefreshDisplay()
{
    const Running running(*this);
    m_loop.processWaitingEvents();
    const std::uint64_t request = ++m_lastRequest;
    const bool takesOver = m_awaitedPath == DrivePath;
    if (!takesOver)
        stopAwaiting();
    const auto asked = m_services.clock();
    LateDriveAnswer late = [this, post = m_loop.poster(), request](const DriveAnswer& answer) {
        post([this, request, answer] { DriveAnswered(request, answer); });
    };
    DriveAnswer answer{FailureValue, Currency::fromStored(0)};
    if (m_services.askDriveSpace(answer, DrivePath, QuickAnswerWait, std::move(late))) {
        DriveAnswered(request, answer);
        return;
    }
    if (takesOver)
        return;
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(m_services.clock() - asked);
    m_awaitedPath = DrivePath;
    m_loop.runTimer(EventLoop::Timer::AnswerDeadline, std::max(AnswerDeadline - waited, std::chrono::milliseconds(0)));
}

// The deadline runs exactly while an answer is awaited, so a refresh answered
// at once leaves the window's timers alone.
void MainWindowBehaviour::stopAwaiting()
{
    if (!m_awaitedPath)
        return;
    m_awaitedPath.reset();
    m_loop.stopTimer(EventLoop::Timer::AnswerDeadline);
}

// No answer in time: the drive counts as not available, and an answer that
// comes after all is dropped.
void MainWindowBehaviour::answerDeadline_Timer()
{
    DriveAnswered(++m_lastRequest, DriveAnswer{});
}

void MainWindowBehaviour::DriveAnswered(std::uint64_t request, const DriveAnswer& answer)
{
    if (request != m_lastRequest)
        return;
    stopAwaiting();
    if (answer.capacity != FailureValue)
        showAvailable(answer);
    else
        showNotAvailable();
}

// The chart is drawn before the figures change. The same answer drawn the same
// way as last time changes nothing on the screen: it is not worked out again,
// only the timer is kept on.
void MainWindowBehaviour::showAvailable(const DriveAnswer& answer)
{
    const auto [capacity, free, available] = answer;
    const UsageChart::ChartStyle style{{ChartLeft, ChartTop, ChartRight, ChartBottom}, UsedColor, FreeColor, Pi};
    const auto shown = std::tuple(capacity, free, available, style);
    if (m_shownAnswer != shown) {
        showChart(ChartPicture{style.bounds, UsageChart::PlanUsageChart(style, capacity, free)});
        // Label: the exact count. Tooltip: binary units and share of the
        // capacity, then more. Accessible name: caption and exact count.
        const auto showFigure = [this, capacity](const FigureTexts& texts, Currency count, const std::string& more) {
            const std::string figure = GetDiskSpace::FormatByteCount(count);
            const std::string share = ByteUnits::ShareOf(count, capacity);
            setText(texts.figure, figure);
            setText(texts.tip, ByteUnits::BinaryUnits(count) + (share.empty() ? "" : ", " + share) + more);
            setText(texts.name, std::string(texts.caption) + " " + figure + " bytes");
        };
        // Free's tooltip also tells the part this user may write where less:
        // the rest is the superuser's reserve.
        const bool reserved = available && *available != free;
        showFigure(FreeTexts, free, reserved ? "; " + ByteUnits::BinaryUnits(*available) + " available to you" : "");
        showFigure(UsedTexts, capacity - free, "");
        showFigure(TotalTexts, capacity, "");
        const std::string usedShare = ByteUnits::ShareOf(capacity - free, capacity);
        setText(Text::ChartDescription, usedShare.empty() ? "Empty drive" : usedShare + " used");
        m_shownAnswer = shown;
    }
    setTimerEnabled(true);
}

// The figures change and the timer stops before the chart is cleared.
void MainWindowBehaviour::showNotAvailable()
{
    m_shownAnswer.reset();
    setText(Text::Free, "");
    setText(Text::Used, "");
    setText(Text::Total, "Not Available  ");
    setTimerEnabled(false);
    showChart(std::nullopt);
    for (const FigureTexts& texts : {FreeTexts, UsedTexts, TotalTexts}) {
        setText(texts.tip, "");
        setText(texts.name, std::string(texts.caption) + " Not Available");
    }
    setText(Text::ChartDescription, "Not available");
}

void MainWindowBehaviour::setText(Text which, const std::string& text)
{
    const auto shown = m_shownTexts.find(which);
    if (shown != m_shownTexts.end() && shown->second == text)
        return;
    m_shownTexts[which] = text;
    m_window.setText(which, text);
}

void MainWindowBehaviour::showChart(const std::optional<ChartPicture>& picture)
{
    if (m_shownChart && *m_shownChart == picture)
        return;
    m_shownChart = picture;
    m_window.showChart(picture);
}

void MainWindowBehaviour::setTimerEnabled(bool enabled)
{
    // Enabling a running timer must not restart its second.
    if (m_timerEnabled == enabled)
        return;
    m_timerEnabled = enabled;
    if (enabled)
        m_loop.runTimer(EventLoop::Timer::Refresh, FormTable::RefreshInterval);
    else
        m_loop.stopTimer(EventLoop::Timer::Refresh);
}

void MainWindowBehaviour::Drive1_Change()
{
    SelectDrive();
    RefreshDisplay();
}

void MainWindowBehaviour::Timer1_Timer()
{
    RefreshDisplay();
}

void MainWindowBehaviour::lblUSEDLEG_MouseUp(int, int Shift, float, float)
{
    chooseLegendColor(MainWindowView::Swatch::Used, UsedColor, SettingKeys::DefaultUsedColor, Shift);
}

void MainWindowBehaviour::lblFREELEG_MouseUp(int, int Shift, float, float)
{
    chooseLegendColor(MainWindowView::Swatch::Free, FreeColor, SettingKeys::DefaultFreeColor, Shift);
}

// Shift held: back to the default colour. Otherwise the colour dialog from the
// swatch's colour; Cancel keeps it, a dialog that failed changes nothing. The
// swatch and the chart show the result at once.
void MainWindowBehaviour::chooseLegendColor(MainWindowView::Swatch swatch, std::int32_t& color,
                                            std::int32_t defaultColor, int Shift)
{
    const Running running(*this);
    if (Shift & ShiftMask::Shift) {
        color = defaultColor;
    } else {
        const std::optional<std::int32_t> chosen = m_window.askColor(color);
        if (!chosen)
            return;
        color = *chosen;
    }
    m_window.setSwatchColor(swatch, color);
    RefreshDisplay();
}

// Both links open the About box.
void MainWindowBehaviour::lblDATE_Click()
{
    lblVERSION_Click();
}

void MainWindowBehaviour::lblVERSION_Click()
{
    const Running running(*this);
    m_window.openAbout();
}

void MainWindowBehaviour::ChartBoxResized()
{
    const UsageChart::ChartRect box = m_window.chartBox();
    ChartRight = box.right;
    ChartBottom = box.bottom;
    // A box that showed no chart (the drive is not available) is right as it
    // is, cleared; one that did has lost it: draw it again even when the plan
    // comes out the same.
    if (m_shownChart && !m_shownChart->has_value())
        return;
    m_shownChart.reset();
    m_shownAnswer.reset();
    RefreshDisplay();
}

// All five keys, at every close, whatever changed.
bool MainWindowBehaviour::Form_QueryUnload()
{
    SettingsAccess& settings = m_services.settings;
    settings.SaveSetting(SettingKeys::Section, SettingKeys::Drive, DrivePath);
    settings.SaveSetting(SettingKeys::Section, SettingKeys::X, StoredText::SingleText(static_cast<float>(Left())));
    settings.SaveSetting(SettingKeys::Section, SettingKeys::Y, StoredText::SingleText(static_cast<float>(Top())));
    settings.SaveSetting(SettingKeys::Section, SettingKeys::UsedColor, std::to_string(UsedColor));
    settings.SaveSetting(SettingKeys::Section, SettingKeys::FreeColor, std::to_string(FreeColor));
    return settings.commit();
}
