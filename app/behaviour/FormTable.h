#pragma once

#include "app/behaviour/EnumTable.h"
#include "app/behaviour/WindowPlacement.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <span>
#include <string_view>

// The two windows as designed, written once for every toolkit: each control's
// name, kind, place and first text, the client areas, the designed position
// and the refresh interval. Both the Qt and the Windows window create their
// controls by walking these tables and hold no layout number of their own.
namespace FormTable {

// A rectangle in twips, 1/1440 inch: 15 to a pixel at 96 dots per inch, 10 at
// 144, so a desktop set to larger text gets a proportionally larger window.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    [[nodiscard]] constexpr int right() const { return left + width; }
    [[nodiscard]] constexpr int bottom() const { return top + height; }
};

// A rectangle in logical pixels.
using PixelRect = WindowPlacement::Rect;

// The nearest whole pixel at dotsPerInch; a half goes away from zero.
[[nodiscard]] int toPixels(int twips, int dotsPerInch);
// Each edge to its nearest pixel, so controls that touch as designed touch on
// the screen.
[[nodiscard]] PixelRect toPixels(const TwipsRect& rect, int dotsPerInch);

enum class Kind {
    ChartBox,  // the picture box that holds the pie chart
    DriveList, // a drop-down list of the drives
    Swatch,    // a legend swatch: a bordered square in a chart colour
    Link,      // a link-style label; keeps its right edge, like Caption
    Caption,   // a right-aligned label sized to its text, keeping its right edge
    Figure,    // a byte count: a Caption with a tooltip of its own
    Frame,     // a frame without a title around the figures
    Label,     // a left-aligned label of its designed size
    Button,
    Icon, // the application icon at its own size
};

// What a control's rectangle is measured from: the window's client area or
// the frame's top-left corner.
enum class Container { Window, Frame };

struct Control {
    std::string_view name; // as designed: "lblUSED", "lbl(5)"
    Kind kind;
    Container in;
    TwipsRect rect;
    std::string_view text; // shown until the program writes its own
    bool tabStop = false;
    double pointSize = 8.25;
    // For screen readers; the texts they cannot take from the control itself.
    std::string_view accessibleName = {};
    std::string_view description = {};
};

// The label kinds that size themselves to their text and keep their right edge.
[[nodiscard]] constexpr bool keepsRightEdge(Kind kind)
{
    return kind == Kind::Link || kind == Kind::Caption || kind == Kind::Figure;
}

// Whether screen readers are given a control of this kind. A caption is not:
// its figure's accessible name carries it ("Free: 251,384,143,872 bytes"), so
// each figure is heard once.
[[nodiscard]] constexpr bool heardByScreenReaders(Kind kind)
{
    return kind != Kind::Caption;
}

struct Form {
    std::string_view name;
    std::string_view caption; // at design; the program writes its own
    int clientWidth;          // twips
    int clientHeight;
    // In tab order, which is also the order of creation; the frame, which
    // takes no focus, comes last, beneath what it surrounds.
    std::span<const Control> controls;
};

// The main window's controls, each the index of its row in mainControls.
enum class Main : std::size_t {
    picDRIVE,
    Drive1,
    lblUSEDLEG,
    lblFREELEG,
    lblVERSION,
    lblDATE,
    lbl4, // "Free:"
    lbl5, // "Used:"
    lbl6, // "Capacity:"
    lblFREE,
    lblUSED,
    lblTOTAL,
    fra,
};

// The About dialog's controls, each the index of its row in aboutControls.
enum class About : std::size_t { lblTitle, cmdOK, lblVersion, lblDescription, lblDisclaimer, Picture1 };

// The figures' placeholder.
inline constexpr std::string_view Placeholder = "000,000,000,000";

// Three rows in the frame (swatch, caption ending at 735, figure ending at
// 2175) beside the drive list and the two links ending at 4575; the chart box
// centred below the frame.
// clang-format off
inline constexpr auto mainControls = enumTable<Control>(Main::fra, {
    {Main::picDRIVE, {"picDRIVE", Kind::ChartBox, Container::Window, {480, 1680, 3855, 3855}, "", true, 8.25, "Usage chart"}},
    {Main::Drive1, {"Drive1", Kind::DriveList, Container::Frame, {2340, 360, 2175, 315}, "", true, 8.25, "Drive", "The drive whose capacity, used and free space the window shows"}},
    {Main::lblUSEDLEG, {"lblUSEDLEG", Kind::Swatch, Container::Frame, {60, 360, 195, 195}, "", true, 8.25, "Used colour", "Chooses the colour of the used share; with Shift, restores the default colour"}},
    {Main::lblFREELEG, {"lblFREELEG", Kind::Swatch, Container::Frame, {60, 720, 195, 195}, "", true, 8.25, "Free colour", "Chooses the colour of the free share; with Shift, restores the default colour"}},
    {Main::lblVERSION, {"lblVERSION", Kind::Link, Container::Frame, {3780, 960, 795, 195}, "Version 0.1", true, 8.25, "", "Program version; opens the About dialog"}},
    {Main::lblDATE, {"lblDATE", Kind::Link, Container::Frame, {3975, 1200, 600, 195}, "6\\21\\98", true, 8.25, "", "Release date; opens the About dialog"}},
    {Main::lbl4, {"lbl(4)", Kind::Caption, Container::Frame, {300, 720, 435, 195}, "Free:"}},
    {Main::lbl5, {"lbl(5)", Kind::Caption, Container::Frame, {300, 360, 435, 195}, "Used:"}},
    {Main::lbl6, {"lbl(6)", Kind::Caption, Container::Frame, {75, 1080, 660, 195}, "Capacity:"}},
    {Main::lblFREE, {"lblFREE", Kind::Figure, Container::Frame, {720, 720, 1455, 195}, Placeholder}},
    {Main::lblUSED, {"lblUSED", Kind::Figure, Container::Frame, {720, 360, 1455, 195}, Placeholder}},
    {Main::lblTOTAL, {"lblTOTAL", Kind::Figure, Container::Frame, {720, 1080, 1455, 195}, Placeholder}},
    {Main::fra, {"fra", Kind::Frame, Container::Window, {60, 60, 4695, 1515}, ""}},
});

// The icon at the top left with the title beside it; the version, description
// and notice lines below at the common left edge; OK at the bottom.
inline constexpr auto aboutControls = enumTable<Control>(About::Picture1, {
    {About::lblTitle, {"lblTitle", Kind::Label, Container::Window, {1080, 240, 3195, 360}, "Aplication Title", false, 13.5}},
    {About::cmdOK, {"cmdOK", Kind::Button, Container::Window, {1680, 2040, 1215, 375}, "OK", true}},
    {About::lblVersion, {"lblVersion", Kind::Label, Container::Window, {240, 840, 4005, 195}, "Version"}},
    {About::lblDescription, {"lblDescription", Kind::Label, Container::Window, {240, 1200, 3975, 195}, "Desc"}},
    {About::lblDisclaimer, {"lblDisclaimer", Kind::Label, Container::Window, {240, 1560, 4050, 195}, "legal"}},
    {About::Picture1, {"Picture1", Kind::Icon, Container::Window, {360, 240, 480, 480}, "", true}},
});
// clang-format on

// 321 x 377 and 297 x 175 pixels at 96 dots per inch.
inline constexpr Form mainForm{"mainform", "Form1", 4815, 5655, mainControls};
inline constexpr Form aboutForm{"frmABOUT", "About", 4455, 2625, aboutControls};

[[nodiscard]] constexpr const Control& control(Main which)
{
    return mainControls[static_cast<std::size_t>(which)];
}
[[nodiscard]] constexpr const Control& control(About which)
{
    return aboutControls[static_cast<std::size_t>(which)];
}

// A control's rectangle measured from the window's client area.
[[nodiscard]] TwipsRect inWindow(const Control& control);

// Where the main window's outer top-left corner stands before any setting
// moves it, in twips.
inline constexpr int DesignedLeft = 2265;
inline constexpr int DesignedTop = 4740;

// The refresh timer's interval.
inline constexpr std::chrono::milliseconds RefreshInterval{1000};

} // namespace FormTable
