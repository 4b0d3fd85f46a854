#include "app/behaviour/DriveCaption.h"
#include "app/behaviour/FittedSize.h"
#include "app/behaviour/MainWindowBehaviour.h"
#include "settings/SettingKeys.h"
#include "settings/SettingsAccess.h"
#include "tests/RowName.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <optional>
#include <vector>

namespace {

using Text = MainWindowView::Text;
using Swatch = MainWindowView::Swatch;

// A window that records what it is told: the last text of each kind, every
// chart it is handed and every other call; its event loop runs duringYield
// as the events waiting at a yield.
struct FakeWindow : MainWindowView, EventLoop {
    std::map<Text, std::string> texts;
    int textCalls = 0;
    std::map<Swatch, std::int32_t> swatches;
    std::vector<std::optional<ChartPicture>> charts;
    std::vector<std::string> driveTexts;
    std::optional<std::size_t> currentDrive;
    std::vector<bool> timer;
    // In pixels, 15 twips each (96 dots per inch) unless told otherwise.
    WindowPlacement::Rect outer{151, 316, 325, 400};
    double twips = 15;
    std::vector<WindowPlacement::Rect> screenRects{{0, 0, 1920, 1080}};
    std::optional<std::int32_t> dialogAnswer;
    std::vector<std::int32_t> dialogStarts;
    int yields = 0;
    std::function<void()> duringYield;
    int closes = 0;

    void setText(Text which, const std::string& text) override { texts[which] = text, ++textCalls; }
    void setSwatchColor(Swatch which, std::int32_t color) override { swatches[which] = color; }
    void showChart(const std::optional<ChartPicture>& picture) override { charts.push_back(picture); }
    void showDrives(const std::vector<std::string>& shown, std::optional<std::size_t> current) override
    {
        driveTexts = shown, currentDrive = current;
    }
    WindowPlacement::Rect frame() const override { return outer; }
    std::vector<WindowPlacement::Rect> availableAreas() const override { return screenRects; }
    double twipsPerPixel() const override { return twips; }
    void moveTo(int left, int top) override { outer.left = left, outer.top = top; }
    UsageChart::ChartRect chartBox() const override { return {0, 0, 257, 257}; }
    std::optional<std::int32_t> askColor(std::int32_t start) override
    {
        dialogStarts.push_back(start);
        return dialogAnswer;
    }
    void openAbout() override {}
    void closeWindow() override { ++closes; }
    void runTimer(Timer which, std::chrono::milliseconds after) override
    {
        if (which == Timer::Refresh)
            timer.push_back(true);
        else
            deadline = after;
    }
    void stopTimer(Timer which) override
    {
        if (which == Timer::Refresh)
            timer.push_back(false);
        else
            deadline.reset();
    }
    void processWaitingEvents() override
    {
        ++yields;
        if (duringYield)
            std::exchange(duringYield, nullptr)();
    }
    Poster poster() override
    {
        return [](std::function<void()> task) { task(); };
    }
    std::optional<std::chrono::milliseconds> deadline;
};

struct FakeSettings : SettingsAccess {
    std::map<std::string, std::string, std::less<>> values;
    std::string GetSetting(std::string_view, std::string_view key, std::string_view fallback) const override
    {
        const auto found = values.find(key);
        return found != values.end() ? found->second : std::string(fallback);
    }
    void SaveSetting(std::string_view, std::string_view key, std::string_view value) override
    {
        values[std::string(key)] = value;
    }
    bool commit() override { return true; }
};

// Drives by root path; a path not listed does not answer. Deferred answers
// come late: they wait in `pending` until the test delivers them.
struct FakeDrives {
    std::map<std::string, std::pair<std::int64_t, std::int64_t>> sizes{{"C:\\", {1000, 999}}, {"D:\\", {4000, 1000}}};
    // What a user may write where the system tells it.
    std::map<std::string, std::int64_t> available;
    bool defer = false;
    std::vector<std::function<void()>> pending;

    void query(DriveAnswer& answer, const std::string& root) const
    {
        const auto found = sizes.find(root);
        if (found == sizes.end())
            return void(answer.capacity = FailureValue);
        answer = {Currency::fromStored(found->second.first), Currency::fromStored(found->second.second)};
        if (const auto told = available.find(root); told != available.end())
            answer.available = Currency::fromStored(told->second);
    }

    AskDriveSpace ask()
    {
        return [this](DriveAnswer& answer, const std::string& root, std::chrono::milliseconds, LateDriveAnswer late) {
            if (!defer) {
                query(answer, root);
                return true;
            }
            pending.push_back([this, root, late] {
                DriveAnswer lateAnswer{FailureValue, Currency::fromStored(0)};
                query(lateAnswer, root);
                late(lateAnswer);
            });
            return false;
        };
    }
};

class MainWindowBehaviourTest : public testing::Test {
protected:
    FakeWindow window;
    FakeSettings settings;
    FakeDrives drives;
    std::vector<DriveList::DriveEntry> listed{{"c: [SYSTEM]", "C:\\"}, {"d: [backup]", "D:\\"}};
    MainWindowBehaviour behaviour{window, window,
                                  Services{drives.ask(), settings,
                                           [this](const DriveList::LateDriveText&) { return listed; },
                                           std::chrono::steady_clock::now, "C:\\Users"}};
};

TEST_F(MainWindowBehaviourTest, FirstStartShowsTheDefaultsAndTheDrive)
{
    drives.sizes[std::string(SettingKeys::DefaultDrive)] = {1000, 999};
    listed.push_back({"root", std::string(SettingKeys::DefaultDrive)});
    behaviour.Form_Load();
    EXPECT_EQ(window.texts[Text::Version], "Version 4.6.9b");
    EXPECT_EQ(window.texts[Text::Date], "3/14/2012");
    EXPECT_EQ(window.swatches[Swatch::Used], SettingKeys::DefaultUsedColor);
    EXPECT_EQ(window.swatches[Swatch::Free], SettingKeys::DefaultFreeColor);
    EXPECT_EQ(behaviour.drivePath(), SettingKeys::DefaultDrive);
    EXPECT_EQ(window.texts[Text::Free], "999");
    EXPECT_EQ(window.texts[Text::Used], "1");
    EXPECT_EQ(window.texts[Text::Total], "1,000");
    EXPECT_EQ(window.texts[Text::UsedAccessibleName], "Used: 1 bytes");
    EXPECT_EQ(window.texts[Text::ChartDescription], "0.1 % used");
    EXPECT_EQ(window.timer, std::vector<bool>{true});
    EXPECT_EQ(window.outer.left, 151);
}

TEST_F(MainWindowBehaviourTest, UnreadableDriveStopsTheTimerAndClearsTheChartUntilAnotherPick)
{
    settings.values["Drive"] = "D:\\";
    behaviour.Form_Load();
    drives.sizes.erase("D:\\");
    behaviour.Timer1_Timer();
    EXPECT_EQ(window.texts[Text::Free], "");
    EXPECT_EQ(window.texts[Text::Total], "Not Available  ");
    EXPECT_EQ(window.texts[Text::TotalAccessibleName], "Capacity: Not Available");
    EXPECT_EQ(window.timer, (std::vector<bool>{true, false}));
    EXPECT_FALSE(window.charts.back().has_value());

    behaviour.Drive1_Picked(0);
    EXPECT_EQ(behaviour.drivePath(), "C:\\");
    EXPECT_EQ(window.texts[Text::Total], "1,000");
    EXPECT_EQ(window.timer.back(), true);
}

TEST_F(MainWindowBehaviourTest, PickingTheShownDriveAgainShowsItOnceItCameBack)
{
    drives.sizes.erase("C:\\");
    behaviour.Form_Load();
    ASSERT_EQ(window.texts[Text::Total], "Not Available  ");
    drives.sizes["C:\\"] = {1000, 999};
    behaviour.Drive1_Picked(0);
    EXPECT_EQ(window.texts[Text::Total], "1,000");
    EXPECT_EQ(window.timer.back(), true);
}

TEST_F(MainWindowBehaviourTest, RefreshThatFindsNothingChangedTellsTheWindowNothing)
{
    drives.sizes["C:\\"] = {1'000'000'000, 100'000'000};
    behaviour.Form_Load();
    const int textCalls = window.textCalls;
    const std::size_t charts = window.charts.size();
    behaviour.Timer1_Timer();
    EXPECT_EQ(window.textCalls, textCalls);
    EXPECT_EQ(window.charts.size(), charts);
    EXPECT_EQ(window.timer.size(), 1U);

    drives.sizes["C:\\"].second = 99'999'999; // one byte more used: new figures, the same pie
    behaviour.Timer1_Timer();
    EXPECT_EQ(window.texts[Text::Used], "900,000,001");
    EXPECT_EQ(window.charts.size(), charts);

    drives.sizes["C:\\"].second = 0;
    behaviour.Timer1_Timer();
    EXPECT_EQ(window.charts.size(), charts + 1);
}

TEST_F(MainWindowBehaviourTest, LateAnswerShowsWhenItComesUnlessANewerRefreshSupersededIt)
{
    drives.defer = true;
    behaviour.Form_Load();
    EXPECT_EQ(window.deadline, MainWindowBehaviour::AnswerDeadline);
    behaviour.Drive1_Picked(1);
    ASSERT_EQ(drives.pending.size(), 2U);
    drives.pending[1](); // D: answers first
    drives.pending[0](); // C:'s answer comes late and is dropped
    EXPECT_EQ(window.texts[Text::Total], "4,000");
    EXPECT_EQ(window.charts.size(), 1U);
    EXPECT_FALSE(window.deadline.has_value());
}

TEST_F(MainWindowBehaviourTest, NoAnswerByTheDeadlineIsNotAvailableAndALaterOneIsDropped)
{
    drives.defer = true;
    behaviour.Form_Load();
    behaviour.answerDeadline_Timer();
    EXPECT_EQ(window.texts[Text::Total], "Not Available  ");
    EXPECT_EQ(window.timer, (std::vector<bool>{true, false}));
    drives.pending[0]();
    EXPECT_EQ(window.texts[Text::Total], "Not Available  ");
}

// A drive asked again by every tick while it hangs still ends as not available
// one second after it was first asked.
TEST_F(MainWindowBehaviourTest, ARefreshOfTheAwaitedDriveKeepsItsFirstDeadline)
{
    drives.defer = true;
    behaviour.Form_Load();
    window.deadline = std::chrono::milliseconds(123); // as if time had passed
    behaviour.Timer1_Timer();
    EXPECT_EQ(window.deadline, std::chrono::milliseconds(123));
    drives.pending.back()();
    EXPECT_EQ(window.texts[Text::Total], "1,000");
    EXPECT_FALSE(window.deadline.has_value());
}

struct FreeTipRow {
    const char* name;
    std::optional<std::int64_t> available;
    const char* tip;
};

class FreeTipTest : public MainWindowBehaviourTest, public testing::WithParamInterface<FreeTipRow> {};

// Free is the volume's whole free space; its tooltip adds what this user may
// write where the system tells it and it is less (a reserve for the superuser).
TEST_P(FreeTipTest, AddsWhatTheUserMayWriteWhereItDiffers)
{
    drives.sizes["C:\\"] = {240'000'000, 17'720'000};
    if (GetParam().available)
        drives.available["C:\\"] = *GetParam().available;
    behaviour.Form_Load();
    EXPECT_EQ(window.texts[Text::FreeDescription], GetParam().tip);
    EXPECT_EQ(window.texts[Text::Free], "17,720,000");
}

INSTANTIATE_TEST_SUITE_P(Tips, FreeTipTest,
                         testing::Values(FreeTipRow{"Reserved", 5'242'880, "16.9 MiB, 7.4 %; 5.0 MiB available to you"},
                                         FreeTipRow{"NoneReserved", 17'720'000, "16.9 MiB, 7.4 %"},
                                         FreeTipRow{"NotTold", std::nullopt, "16.9 MiB, 7.4 %"}),
                         RowName{});

struct ColorRow {
    const char* name;
    const char* stored;
    std::int32_t color;
};

class StoredColorTest : public MainWindowBehaviourTest, public testing::WithParamInterface<ColorRow> {};

TEST_P(StoredColorTest, ReadsTheNumberOrKeepsTheDefault)
{
    settings.values["UsedColor"] = GetParam().stored;
    behaviour.Form_Load();
    EXPECT_EQ(behaviour.usedColor(), GetParam().color);
    EXPECT_EQ(window.swatches[Swatch::Used], GetParam().color);
}

INSTANTIATE_TEST_SUITE_P(Colors, StoredColorTest,
                         testing::Values(ColorRow{"Decimal", "255", 255}, ColorRow{"Hex", "&HFF", 255},
                                         ColorRow{"HalfDown", "7631560.5", 7631560},
                                         ColorRow{"HalfUp", "7631561.5", 7631562}, ColorRow{"NotANumber", "abc", 0},
                                         ColorRow{"Beyond32Bits", "1E10", SettingKeys::DefaultUsedColor}),
                         RowName{});

struct PositionRow {
    const char* name;
    const char* x;
    const char* y;
    int left; // pixels
    int top;
};

class StoredPositionTest : public MainWindowBehaviourTest, public testing::WithParamInterface<PositionRow> {};

// One screen of 1920 x 1080 pixels at the origin, a second one to its lower
// right; the window stands at (151, 316), 15 twips to a pixel.
TEST_P(StoredPositionTest, LandsWhollyOnAScreen)
{
    window.screenRects.push_back({1920, 1080, 800, 600});
    settings.values["X"] = GetParam().x;
    settings.values["Y"] = GetParam().y;
    behaviour.Form_Load();
    EXPECT_EQ(window.outer.left, GetParam().left);
    EXPECT_EQ(window.outer.top, GetParam().top);
}

INSTANTIATE_TEST_SUITE_P(Positions, StoredPositionTest,
                         testing::Values(PositionRow{"PartlyOffTheLeftEdgeMovesIn", "-300", "1200", 0, 80},
                                         PositionRow{"DiagonalScreen", "30000", "17000", 2000, 1133},
                                         PositionRow{"LeftOffEveryScreenComesToTheNearest", "-90000", "1200", 0, 80},
                                         PositionRow{"BelowTheScreenMovesUp", "1500", "16500", 100, 680},
                                         PositionRow{"NotANumberIsZero", "abc", "abc", 0, 0},
                                         PositionRow{"BeyondSinglePrecisionKeepsPlace", "1E300", "1E300", 151, 316}),
                         RowName{});

struct ScaleRow {
    const char* name;
    double twipsPerPixel; // when read: 15 at 96 dots per inch, 12 at 120, 10 at 144
    const char* x;        // as stored, twips
    const char* y;
    std::vector<WindowPlacement::Rect> screens;
    int left; // pixels
    int top;
};

class StoredPositionAtAnotherScaleTest : public MainWindowBehaviourTest,
                                         public testing::WithParamInterface<ScaleRow> {};

// A position stored at one resolution and read at another: the window, 325 x 400
// pixels at 96 dots per inch and larger in proportion, stays where it fits and
// is otherwise moved just enough to lie wholly on the screen holding most of it.
TEST_P(StoredPositionAtAnotherScaleTest, KeepsTheWholeWindowOnTheScreen)
{
    const ScaleRow& row = GetParam();
    window.twips = row.twipsPerPixel;
    window.outer.width = static_cast<int>(std::lround(325 * 15 / row.twipsPerPixel));
    window.outer.height = static_cast<int>(std::lround(400 * 15 / row.twipsPerPixel));
    window.screenRects = row.screens;
    settings.values["X"] = row.x;
    settings.values["Y"] = row.y;
    behaviour.Form_Load();
    EXPECT_EQ(window.outer.left, row.left);
    EXPECT_EQ(window.outer.top, row.top);
}

// Stored at 96 dots per inch, the window at (900, 380) or (600, 380) on a screen
// of 1280 x 800, or at (1500, 600) on a second screen of 1920 x 1080 to its right.
const WindowPlacement::Rect Laptop{0, 0, 1280, 800};
const WindowPlacement::Rect RightScreen{1280, 0, 1920, 1080};
INSTANTIATE_TEST_SUITE_P(
    Scales, StoredPositionAtAnotherScaleTest,
    testing::Values(ScaleRow{"Stored96Read120", 12, "13500", "5700", {Laptop}, 874, 300},
                    ScaleRow{"Stored96Read144", 10, "9000", "5700", {Laptop}, 792, 200},
                    ScaleRow{"Stored144Read96StaysWhereItFits", 15, "7920", "2000", {Laptop}, 528, 133},
                    ScaleRow{"Stored96Read144StaysOnItsScreen", 10, "22500", "9000", {Laptop, RightScreen}, 2250, 480},
                    ScaleRow{
                        "MostlyOnTheSecondScreenMovesOntoIt", 15, "18000", "1500", {Laptop, RightScreen}, 1280, 100}),
    RowName{});

struct DesignedPlaceRow {
    const char* name;
    std::vector<WindowPlacement::Rect> screens; // the main screen's first
    int left;                                   // pixels
    int top;
};

class DesignedPlaceTest : public MainWindowBehaviourTest, public testing::WithParamInterface<DesignedPlaceRow> {};

// No stored position: the designed place (151, 316), moved onto the available
// area of the screen it falls on, or of the main screen; the frame is 325 x 400.
TEST_P(DesignedPlaceTest, KeepsTheWholeWindowOnAScreen)
{
    window.outer.left = window.outer.top = 5;
    window.screenRects = GetParam().screens;
    behaviour.Form_Load();
    EXPECT_EQ(window.outer.left, GetParam().left);
    EXPECT_EQ(window.outer.top, GetParam().top);
}

INSTANTIATE_TEST_SUITE_P(Places, DesignedPlaceTest,
                         testing::Values(DesignedPlaceRow{"FitsAsDesigned", {{0, 0, 1920, 1080}}, 151, 316},
                                         DesignedPlaceRow{"SmallScreenMovesItUp", {{0, 0, 640, 512}}, 151, 112},
                                         DesignedPlaceRow{"PanelAtTheLeft", {{200, 0, 1000, 800}}, 200, 316},
                                         DesignedPlaceRow{
                                             "OnTheSecondScreen", {{400, 0, 800, 600}, {0, 300, 400, 500}}, 75, 316}),
                         RowName{});

struct FittedSizeRow {
    const char* name;
    double room;     // pixels
    double perPoint; // the text's width per point of size, in pixels
    double hinting;  // pixels that do not shrink with the size
    double size;
};

class FittedSizeTest : public testing::TestWithParam<FittedSizeRow> {};

// A text drawn at 8.25 points, made smaller just enough for its room.
TEST_P(FittedSizeTest, LargestQuarterPointThatFits)
{
    const FittedSizeRow& row = GetParam();
    const auto widthAt = [&row](double size) { return row.perPoint * size + row.hinting; };
    EXPECT_DOUBLE_EQ(FittedSize::pointSizeToFit(8.25, row.room, widthAt), row.size);
}

INSTANTIATE_TEST_SUITE_P(Sizes, FittedSizeTest,
                         testing::Values(FittedSizeRow{"RoomToSpareKeepsTheDesign", 100, 10, 0, 8.25},
                                         FittedSizeRow{"ExactlyFilledKeepsTheDesign", 82.5, 10, 0, 8.25},
                                         FittedSizeRow{"ProportionalShrink", 70, 10, 0, 7.0},
                                         FittedSizeRow{"HintingStepsFurtherDown", 80, 10, 20, 6.0},
                                         FittedSizeRow{"NeverBelowTheSmallest", 10, 10, 0, 5.0}),
                         RowName{});

struct FaceRow {
    const char* name;
    double captionPerPoint;     // "Capacity:"'s width per point of size, in pixels
    double placeholderPerPoint; // the figures' placeholder's
    double size;
};

class FaceSizeTest : public testing::TestWithParam<FaceRow> {};

// At 96 DPI the widest caption has 48 pixels inside the frame's border, the
// placeholder 94 beside its caption; the face shrinks for whichever is short.
TEST_P(FaceSizeTest, ShrinksTheWholeFaceOnlyForATextTooWide)
{
    const FaceRow& row = GetParam();
    const auto widthAt = [&row](std::string_view text, double size) {
        return (text == FormTable::Placeholder ? row.placeholderPerPoint : row.captionPerPoint) * size;
    };
    EXPECT_DOUBLE_EQ(FittedSize::facePointSize(8.25, 96, widthAt), row.size);
}

INSTANTIATE_TEST_SUITE_P(Faces, FaceSizeTest,
                         testing::Values(FaceRow{"BothFitKeepsTheDesign", 5, 11, 8.25},
                                         FaceRow{"WideCaption", 6.3, 11, 7.5}, FaceRow{"WidePlaceholder", 5, 12.5, 7.5},
                                         FaceRow{"BothWideTakesTheSmaller", 6.3, 14, 6.5}),
                         RowName{});

struct SwatchRow {
    const char* name;
    int shift;
    std::optional<std::int32_t> dialogAnswer;
    std::int32_t color;
    bool dialogShown;
    bool refreshed;
};

class SwatchTest : public MainWindowBehaviourTest, public testing::WithParamInterface<SwatchRow> {};

TEST_P(SwatchTest, ShiftResetsOtherwiseTheDialogDecides)
{
    settings.values["FreeColor"] = "42";
    behaviour.Form_Load();
    window.dialogAnswer = GetParam().dialogAnswer;
    const int yields = window.yields;
    behaviour.lblFREELEG_MouseUp(2, GetParam().shift, 0, 0);
    EXPECT_EQ(behaviour.freeColor(), GetParam().color);
    EXPECT_EQ(window.swatches[Swatch::Free], GetParam().color);
    EXPECT_EQ(window.dialogStarts,
              GetParam().dialogShown ? std::vector<std::int32_t>{42} : std::vector<std::int32_t>{});
    EXPECT_EQ(window.yields, yields + (GetParam().refreshed ? 1 : 0));
}

INSTANTIATE_TEST_SUITE_P(Swatches, SwatchTest,
                         testing::Values(SwatchRow{"ShiftResets", 1, 7, SettingKeys::DefaultFreeColor, false, true},
                                         SwatchRow{"ShiftCtrlResets", 3, 7, SettingKeys::DefaultFreeColor, false, true},
                                         SwatchRow{"CtrlOpensTheDialog", 2, 7, 7, true, true},
                                         SwatchRow{"CancelKeepsTheColour", 0, 42, 42, true, true},
                                         SwatchRow{"FailedDialogChangesNothing", 0, std::nullopt, 42, true, false}),
                         RowName{});

// The window stood partly off the left edge and was brought onto the screen.
TEST_F(MainWindowBehaviourTest, CloseWritesTheFiveSettingsAndAnEmptyListKeepsTheStoredDrive)
{
    settings.values = {{"Drive", "Q:\\"}, {"X", "-300"}, {"Y", "1200"}, {"UsedColor", "255"}};
    listed.clear();
    behaviour.Form_Load();
    ASSERT_TRUE(behaviour.Form_QueryUnload());
    const std::map<std::string, std::string, std::less<>> expected{
        {"Drive", "Q:\\"}, {"X", "0"}, {"Y", "1200"}, {"UsedColor", "255"}, {"FreeColor", "12428157"}};
    EXPECT_EQ(settings.values, expected);
}

} // namespace

TEST_F(MainWindowBehaviourTest, AStoredDriveThatWentAwayLeavesTheListOnTheDriveHoldingTheStartDirectory)
{
    settings.values["Drive"] = "Q:\\";
    MainWindowBehaviour started{window, window,
                                Services{drives.ask(), settings,
                                         [this](const DriveList::LateDriveText&) { return listed; },
                                         std::chrono::steady_clock::now, "D:\\work"}};
    started.Form_Load();
    EXPECT_EQ(started.drivePath(), "D:\\");
    EXPECT_EQ(window.currentDrive, 1U);
}

// A drive whose name is late (a dead network drive) is listed by its letter
// and named, in the list and the caption, when the name comes.
TEST_F(MainWindowBehaviourTest, ADriveNamedLateIsListedByItsLetterAndNamedWhenTheNameComes)
{
    settings.values["Drive"] = "D:\\";
    DriveList::LateDriveText late;
    const auto listNamedLater = [&late](const DriveList::LateDriveText& given) {
        late = given;
        return std::vector<DriveList::DriveEntry>{{"c: [SYSTEM]", "C:\\"}, {"d:", "D:\\"}};
    };
    MainWindowBehaviour started{
        window, window, Services{drives.ask(), settings, listNamedLater, std::chrono::steady_clock::now, "C:\\"}};
    started.Form_Load();
    EXPECT_EQ(window.driveTexts, (std::vector<std::string>{"c: [SYSTEM]", "d:"}));
    ASSERT_TRUE(late);
    late("D:\\", "d: [backup]");
    EXPECT_EQ(window.driveTexts, (std::vector<std::string>{"c: [SYSTEM]", "d: [backup]"}));
    EXPECT_EQ(window.texts[Text::Caption], "Disk Usage: " + DriveCaption({"d: [backup]", "D:\\"}));
    EXPECT_EQ(window.currentDrive, 1U);
}

// Opening the list reads the drives again; the drive shown, gone meanwhile,
// stays listed until another is picked.
TEST_F(MainWindowBehaviourTest, OpeningTheListKeepsAVanishedCurrentDriveUntilAnotherIsPicked)
{
    settings.values["Drive"] = "D:\\";
    behaviour.Form_Load();
    listed = {{"c: [SYSTEM]", "C:\\"}, {"e: [usb]", "E:\\"}};
    behaviour.Drive1_Opened();
    EXPECT_EQ(window.driveTexts, (std::vector<std::string>{"c: [SYSTEM]", "d: [backup]", "e: [usb]"}));
    EXPECT_EQ(window.currentDrive, 1U);
    EXPECT_EQ(behaviour.drivePath(), "D:\\");

    behaviour.Drive1_Picked(2);
    behaviour.Drive1_Opened();
    EXPECT_EQ(window.driveTexts, (std::vector<std::string>{"c: [SYSTEM]", "e: [usb]"}));
    EXPECT_EQ(window.currentDrive, 1U);
    EXPECT_EQ(behaviour.drivePath(), "E:\\");
}

// A close that comes with the events of a yield waits for the handler that
// yielded, which runs to its end, and then goes on.
TEST_F(MainWindowBehaviourTest, ACloseDuringAYieldWaitsUntilTheHandlerHasReturned)
{
    behaviour.Form_Load();
    window.duringYield = [this] {
        EXPECT_FALSE(behaviour.mayClose());
        drives.sizes["C:\\"] = {2000, 500};
    };
    behaviour.Timer1_Timer();
    EXPECT_EQ(window.texts[Text::Total], "2,000");
    EXPECT_EQ(window.closes, 1);
    EXPECT_TRUE(behaviour.mayClose());
    EXPECT_EQ(window.closes, 1);
}

namespace {

struct CaptionCase {
    const char* name;
    const char* listed;
    // The caption on Windows; elsewhere it keeps the text as listed.
    const char* onWindows;
};

// UTF-8 labels: accented Latin, Cyrillic and Greek letters change case as the
// user's language has them; digits, signs and the euro sign stay.
const CaptionCase captionCases[] = {
    {"AsciiLabel", "d: [backup]", "D: [BACKUP]"},
    {"AccentedLabel", "l: [Donn\u00e9es \u00c9t\u00e9 \u20ac]", "L: [DONN\u00c9ES \u00c9T\u00c9 \u20ac]"},
    {"CyrillicLabel", "k: [\u0424\u043e\u0442\u043e 2024]", "K: [\u0424\u041e\u0422\u041e 2024]"},
    {"GreekLabel", "g: [\u03b1\u03c1\u03c7\u03b5\u03af\u03b1]", "G: [\u0391\u03a1\u03a7\u0395\u038a\u0391]"},
    {"LetterAlone", "x:", "X:"},
};

class DriveCaptionTest : public testing::TestWithParam<CaptionCase> {};

TEST_P(DriveCaptionTest, UpperCasesTheLabelOnWindowsOnly)
{
    const CaptionCase& row = GetParam();
#ifdef _WIN32
    EXPECT_EQ(DriveCaption({row.listed, "D:\\"}), row.onWindows);
#else
    EXPECT_EQ(DriveCaption({row.listed, "/media/d"}), row.listed);
#endif
}

INSTANTIATE_TEST_SUITE_P(Table, DriveCaptionTest, testing::ValuesIn(captionCases), RowName{});

} // namespace
