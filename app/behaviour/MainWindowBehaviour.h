#pragma once

#include "app/behaviour/DriveListModel.h"
#include "app/behaviour/EventLoop.h"
#include "app/behaviour/MainWindowView.h"
#include "app/behaviour/Services.h"
#include "chart/UsageChart.h"
#include "drivespace/Currency.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <numbers>
#include <optional>
#include <string>
#include <tuple>

// Everything the main window decides, apart from any toolkit: start-up from the
// stored settings, the drive list and selection, the refresh of figures and
// chart, the legend colours and the settings written at close. Each window
// forwards its events here and is driven through MainWindowView and EventLoop,
// which are passed only what differs from what the window shows.
class MainWindowBehaviour {
public:
    // How long a refresh waits for its drive before going back to the events,
    // and how long in all before the drive counts as not available.
    static constexpr std::chrono::milliseconds QuickAnswerWait{50};
    static constexpr std::chrono::milliseconds AnswerDeadline = DriveAnswerDeadline;

    // window and loop must outlive this object.
    MainWindowBehaviour(MainWindowView& window, EventLoop& loop, Services services);

    // The load sequence: the drive list, labels, chart rectangle, the stored
    // drive, position and colours, then the first drive selection and refresh.
    void Form_Load();
    // The window is asked to close. True: it may, writing the settings
    // (Form_QueryUnload) first. False while a handler runs (one yielding to the
    // events that brought the close): once the outermost has returned, the
    // behaviour asks again (MainWindowView::closeWindow).
    [[nodiscard]] bool mayClose();
    // Writes the five settings; false when the store could not be written.
    bool Form_QueryUnload();

    void RefreshDisplay();

    // The drive list is about to open: the drives are read again.
    void Drive1_Opened();
    // The user took entry index of the drive list, maybe the current one again
    // (a drive that came back then shows its figures again).
    void Drive1_Picked(std::size_t index);
    void Timer1_Timer();
    void lblUSEDLEG_MouseUp(int Button, int Shift, float X, float Y);
    void lblFREELEG_MouseUp(int Button, int Shift, float X, float Y);
    void lblDATE_Click();
    void lblVERSION_Click();
    // The deadline of a refresh whose drive has not answered.
    void answerDeadline_Timer();

    // The chart box has a new size or lost its drawing (a new DPI): the chart is
    // drawn again, to fit it.
    void ChartBoxResized();

    [[nodiscard]] std::int32_t usedColor() const { return UsedColor; }
    [[nodiscard]] std::int32_t freeColor() const { return FreeColor; }
    [[nodiscard]] const std::string& drivePath() const { return DrivePath; }
    // The frame's top-left corner in twips.
    [[nodiscard]] double Left() const;
    [[nodiscard]] double Top() const;

private:
    // Counts the handlers running, nested in yields or modal dialogs, and lets
    // a close that came meanwhile go on once the outermost has returned.
    class Running {
    public:
        explicit Running(MainWindowBehaviour& behaviour);
        ~Running();
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;

    private:
        MainWindowBehaviour& m_behaviour;
    };

    void SelectDrive();
    void Drive1_Change();
    void showDrives();
    [[nodiscard]] std::vector<DriveList::DriveEntry> listDrives();
    void driveTextCame(const std::string& rootPath, const std::string& text);
    void stopAwaiting();
    void moveOntoScreen(int left, int top);
    void restorePosition();
    [[nodiscard]] double storedPosition(std::string_view key, double current) const;
    [[nodiscard]] std::int32_t storedColor(std::string_view key, std::int32_t defaultColor) const;
    void chooseLegendColor(MainWindowView::Swatch swatch, std::int32_t& color, std::int32_t defaultColor, int Shift);
    void DriveAnswered(std::uint64_t request, const DriveAnswer& answer);
    void showAvailable(const DriveAnswer& answer);
    void showNotAvailable();
    void setText(MainWindowView::Text which, const std::string& text);
    void showChart(const std::optional<ChartPicture>& picture);
    void setTimerEnabled(bool enabled);

    MainWindowView& m_window;
    EventLoop& m_loop;
    Services m_services;
    DriveListModel m_drives;

    // The chart colours, 0x00BBGGRR.
    std::int32_t UsedColor = 0;
    std::int32_t FreeColor = 0;
    // The selected drive's root path, bytes as the system gives them.
    std::string DrivePath;
    static constexpr float Pi = std::numbers::pi_v<float>;
    // The chart's bounding rectangle in the chart box's pixels.
    static constexpr std::int32_t ChartLeft = 0;
    static constexpr std::int32_t ChartTop = 0;
    std::int32_t ChartRight = 0;
    std::int32_t ChartBottom = 0;

    int m_running = 0;
    bool m_closeWaiting = false;

    // The last refresh asked; only its answer is shown.
    std::uint64_t m_lastRequest = 0;
    // The drive whose answer is still awaited, if any, against the deadline
    // set when it was asked.
    std::optional<std::string> m_awaitedPath;
    // What the window shows, so that only changes reach it.
    std::map<MainWindowView::Text, std::string> m_shownTexts;
    std::optional<std::optional<ChartPicture>> m_shownChart;
    std::optional<std::pair<std::vector<std::string>, std::optional<std::size_t>>> m_shownDrives;
    // The drive's answer last shown as available (capacity, free, available),
    // and the style it was drawn in.
    std::optional<std::tuple<Currency, Currency, std::optional<Currency>, UsageChart::ChartStyle>> m_shownAnswer;
    std::optional<bool> m_timerEnabled;
};
