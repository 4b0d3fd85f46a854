#pragma once

#include "app/behaviour/EnumTable.h"
#include "app/behaviour/FormTable.h"
#include "app/behaviour/WindowPlacement.h"
#include "chart/UsageChart.h"

#include <array>
#include <cstddef>
#include <cstdint>
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

// What the main window's behaviour asks of a window, whatever the toolkit: show
// this, and ask the user. All texts are UTF-8. Nothing here decides anything:
// each call shows, reads or asks one thing. The event loop is EventLoop's.
class MainWindowView {
public:
    // The texts the behaviour writes, each to its place (placeOf); a window
    // without a place for one of them ignores it.
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

    // Where a text goes: onto a control (none: the window's caption), as its
    // text, tooltip, accessible name or accessible description.
    struct TextPlace {
        enum class As { Text, ToolTip, AccessibleName, Description };
        std::optional<FormTable::Main> control;
        As as = As::Text;
    };
    [[nodiscard]] static constexpr TextPlace placeOf(Text which);

    virtual ~MainWindowView() = default;

    virtual void setText(Text which, const std::string& text) = 0;
    // A swatch's colour, 0x00BBGGRR.
    virtual void setSwatchColor(Swatch which, std::int32_t color) = 0;
    // Clears the chart box, then draws the picture if there is one.
    virtual void showChart(const std::optional<ChartPicture>& picture) = 0;
    // The drive list's texts, and which of them is current (none: the list is
    // empty). The window only shows them; it reports picks and openings.
    virtual void showDrives(const std::vector<std::string>& texts, std::optional<std::size_t> current) = 0;

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

    // The colour dialog, starting at start: the colour chosen, start itself on
    // Cancel, none when the dialog failed.
    [[nodiscard]] virtual std::optional<std::int32_t> askColor(std::int32_t start) = 0;
    // The About dialog, modal; returns when it has been closed.
    virtual void openAbout() = 0;
    // Closes the window as its close button does, now that a close that came
    // while a handler ran may go on.
    virtual void closeWindow() = 0;
};

constexpr MainWindowView::TextPlace MainWindowView::placeOf(Text which)
{
    using enum FormTable::Main;
    using As = TextPlace::As;
    // clang-format off
    constexpr auto places = enumTable<TextPlace>(Text::ChartDescription, {
        {Text::Caption, {std::nullopt, As::Text}},
        {Text::Version, {lblVERSION, As::Text}},
        {Text::Date, {lblDATE, As::Text}},
        {Text::Free, {lblFREE, As::Text}},
        {Text::Used, {lblUSED, As::Text}},
        {Text::Total, {lblTOTAL, As::Text}},
        {Text::FreeDescription, {lblFREE, As::ToolTip}},
        {Text::UsedDescription, {lblUSED, As::ToolTip}},
        {Text::TotalDescription, {lblTOTAL, As::ToolTip}},
        {Text::FreeAccessibleName, {lblFREE, As::AccessibleName}},
        {Text::UsedAccessibleName, {lblUSED, As::AccessibleName}},
        {Text::TotalAccessibleName, {lblTOTAL, As::AccessibleName}},
        {Text::ChartDescription, {picDRIVE, As::Description}},
    });
    // clang-format on
    return places[static_cast<std::size_t>(which)];
}
