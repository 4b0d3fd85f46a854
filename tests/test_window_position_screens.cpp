#include "app/behaviour/WindowPlacement.h"
#include "app/qt/Twips.h"
#include "tests/MainFormFixture.h"
#include "tests/RowName.h"

#include <QFile>
#include <QScreen>
#include <QStyle>
#include <QTemporaryDir>

#include <cstdlib>

// Two screens touching only at a corner: the main one at the origin, a second
// above and to the left of it. A window can lie wholly on the second screen while
// neither its stored left with the designed top, nor its stored top with the
// designed left, touches any screen. A window on no screen, or across two, goes
// wholly onto the one nearest or holding most of it.
namespace {

constexpr QRect MainScreen(0, 0, 1024, 768);
constexpr QRect UpperLeftScreen(-1024, -768, 1024, 768);
// An expected top: the frame's bottom edge on the main screen's.
constexpr int OnTheBottom = 10000;

struct PositionRow {
    std::string name;
    QByteArray stored;
    QPoint expected; // the window's outer top-left corner, pixels
};
void PrintTo(const PositionRow& row, std::ostream* out)
{
    *out << row.name;
}

class TwoScreenPositionTest : public MainFormFixture, public testing::WithParamInterface<PositionRow> {};

TEST_P(TwoScreenPositionTest, PlacesTheWindowWhollyOnAScreen)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    ASSERT_EQ(screens.size(), 2);
    ASSERT_EQ(screens.at(0)->geometry(), MainScreen);
    ASSERT_EQ(screens.at(1)->geometry(), UpperLeftScreen);

    const PositionRow& row = GetParam();
    writeSettingsFile("[Settings]\n" + row.stored);
    const auto window = loadWindow();
    // Not yet shown, the window counts the style's title bar above its client
    // area as its frame.
    QPoint expected = row.expected;
    if (expected.y() == OnTheBottom)
        expected.setY(MainScreen.bottom() + 1 - window->height() -
                      window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window.get()));
    EXPECT_EQ(window->frameGeometry().topLeft(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TwoScreenPositionTest,
    testing::Values(PositionRow{"WhollyOnTheUpperLeftScreen", "X=-9000\nY=-6750\n", QPoint(-600, -450)},
                    PositionRow{"AcrossTheCornerMostlyOnTheMainScreen", "X=-1500\nY=-1500\n", QPoint(0, 0)},
                    PositionRow{"OnTheMainScreen", "X=1440\nY=720\n", QPoint(96, 48)},
                    PositionRow{"BelowTheUpperLeftScreenOffBoth", "X=-9000\nY=7500\n", QPoint(0, OnTheBottom)},
                    PositionRow{"FarOffBothComesOntoTheNearest", "X=-9000\nY=100000\n", QPoint(0, OnTheBottom)}),
    RowName{});

// Without a stored position the window opens at its designed place, moved
// inward as little as needed to lie wholly on the screen's available area.
struct FitRow {
    std::string name;
    QRect frame;
    QRect available;
    QPoint expected;
};
void PrintTo(const FitRow& row, std::ostream* out)
{
    *out << row.name;
}

class KeepOnScreenTest : public testing::TestWithParam<FitRow> {};

TEST_P(KeepOnScreenTest, MovesTheFrameOntoTheAvailableArea)
{
    const auto rect = [](const QRect& r) { return WindowPlacement::Rect{r.x(), r.y(), r.width(), r.height()}; };
    const WindowPlacement::Rect moved =
        WindowPlacement::keepOnScreen(rect(GetParam().frame), rect(GetParam().available));
    EXPECT_EQ(QPoint(moved.left, moved.top), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, KeepOnScreenTest,
    testing::Values(FitRow{"FitsAsItIs", QRect(151, 316, 321, 400), QRect(0, 0, 1024, 768), QPoint(151, 316)},
                    FitRow{"BelowTheBottomMovesUp", QRect(151, 316, 321, 400), QRect(0, 0, 640, 512), QPoint(151, 112)},
                    FitRow{"PastTheRightMovesLeft", QRect(400, 10, 321, 400), QRect(0, 0, 640, 512), QPoint(319, 10)},
                    FitRow{"AboveAPanelAtTheBottom", QRect(151, 316, 321, 400), QRect(0, 0, 800, 700),
                           QPoint(151, 300)},
                    FitRow{"BesideAPanelAtTheLeft", QRect(20, 20, 321, 400), QRect(48, 0, 800, 600), QPoint(48, 20)},
                    FitRow{"OnASecondScreen", QRect(1100, 700, 321, 400), QRect(1024, 0, 800, 600), QPoint(1100, 200)},
                    FitRow{"LargerThanTheScreenKeepsItsTitleBarOn", QRect(151, 316, 321, 400), QRect(0, 0, 300, 300),
                           QPoint(0, 0)}),
    RowName{});

// Twips convert at the screen's logical resolution.
struct TwipsRow {
    std::string name;
    int dotsPerInch;
    int twips;
    int pixels;
};
void PrintTo(const TwipsRow& row, std::ostream* out)
{
    *out << row.name;
}

class TwipsTest : public testing::TestWithParam<TwipsRow> {};

TEST_P(TwipsTest, ConvertsToTheNearestPixel)
{
    EXPECT_EQ(Twips(GetParam().dotsPerInch).toPixels(GetParam().twips), GetParam().pixels);
}

INSTANTIATE_TEST_SUITE_P(Rows, TwipsTest,
                         testing::Values(TwipsRow{"Standard", 96, 4815, 321}, TwipsRow{"StandardSwatch", 96, 195, 13},
                                         TwipsRow{"LargerText", 144, 4815, 482},
                                         TwipsRow{"LargerTextSwatch", 144, 195, 20},
                                         TwipsRow{"LargerTextHalfUp", 144, 5, 1}, TwipsRow{"Medium", 120, 4740, 395},
                                         TwipsRow{"Negative", 96, -4800, -320}),
                         RowName{});

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir configDir;
    if (!configDir.isValid())
        return EXIT_FAILURE;
    const QString configFile = configDir.filePath(QStringLiteral("screens.json"));
    QFile config(configFile);
    if (!config.open(QIODevice::WriteOnly) ||
        config.write(R"({"screens": [{"name": "main", "x": 0, "y": 0, "width": 1024, "height": 768},
                                     {"name": "upper-left", "x": -1024, "y": -768, "width": 1024, "height": 768}]})") <=
            0)
        return EXIT_FAILURE;
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + configFile.toLocal8Bit());
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
