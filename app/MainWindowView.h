#pragma once

#include "chart/UsageChart.h"
#include "drivespace/DriveList.h"
#include "settings/WindowPlacement.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The chart as the box shows it: its bounding rectangle in box pixels and the
// shapes to draw there.
struct ChartPicture {
    UsageChart::ChartRect bounds;
    UsageChart::ChartPlan plan;
    friend constexpr bool operator==(const ChartPicture&, const ChartPicture&) = default;
};

// What the main window's behaviour asks of a window, whatever the toolkit. All
// texts are UTF-8. Nothing here decides anything: each call shows, reads or
// asks one thing.
class MainWindowView {
public:
    // The texts the behaviour writes: the caption, the labels, the figures'
    // descriptions (tooltips) and accessible names, and the chart's accessible
    // description. A window without a place for one of them ignores it.
    enum class Text {
        Caption,
        Version,
        Date,
        Free,
        Used,
        Total,
        FreeDescription,
        UsedDescription,
        TotalDescription,
        FreeAccessibleName,
        UsedAccessibleName,
        TotalAccessibleName,
        ChartDescription,
    };
    enum class Swatch { Used, Free };

    virtual ~MainWindowView() = default;

    virtual void setText(Text which, const std::string& text) = 0;
    // A swatch's colour, 0x00BBGGRR.
    virtual void setSwatchColor(Swatch which, std::int32_t color) = 0;
    // Clears the chart box, then draws the picture if there is one.
    virtual void showChart(const std::optional<ChartPicture>& picture) = 0;
    virtual void setTimerEnabled(bool enabled) = 0;

    // The window's outer frame and the screens' available areas (less panels
    // and docks, the main screen's first), in pixels of the desktop; how many
    // twips (1/1440 inch) make one of those pixels.
    [[nodiscard]] virtual WindowPlacement::Rect frame() const = 0;
    [[nodiscard]] virtual std::vector<WindowPlacement::Rect> availableAreas() const = 0;
    [[nodiscard]] virtual double twipsPerPixel() const = 0;
    // Moves the frame's top-left corner, in pixels.
    virtual void moveTo(int left, int top) = 0;

    // The chart box's inner area in its pixels: left and top 0, right and
    // bottom its width and height.
    [[nodiscard]] virtual UsageChart::ChartRect chartBox() const = 0;

    // The drive list's current entry; none when the list is empty.
    [[nodiscard]] virtual std::optional<DriveList::DriveEntry> currentDrive() const = 0;
    // Makes the drive with this root path current, without reporting it as a
    // change; false when the list has no such drive (it keeps its own then).
    virtual bool setDrive(const std::string& rootPath) = 0;

    // The colour dialog, starting at start: the colour chosen, start itself on
    // Cancel, none when the dialog failed.
    [[nodiscard]] virtual std::optional<std::int32_t> askColor(std::int32_t start) = 0;
    // The About dialog, modal; returns when it has been closed.
    virtual void openAbout() = 0;
    // Runs the window messages already waiting, each handler to its end.
    virtual void processWaitingEvents() = 0;

    // Something that runs a task on the window's thread soon, callable from any
    // thread; once the window is gone it drops the tasks it is given.
    using Poster = std::function<void(std::function<void()> task)>;
    [[nodiscard]] virtual Poster poster() = 0;
    // Starts the one-shot deadline of a refresh (its end calls the behaviour's
    // answerDeadline_Timer), or stops it when none is given.
    virtual void setAnswerDeadline(std::optional<std::chrono::milliseconds> after) = 0;
};
