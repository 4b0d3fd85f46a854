#include "app/qt/ColorValue.h"
#include "app/qt/DriveListBox.h"
#include "app/qt/LegendSwatch.h"
#include "app/qt/QuitSignals.h"
#include "tests/MainFormFixture.h"
#include "tests/RowName.h"

#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <QTest>

#include <csignal>
#include <cstdint>
#include <optional>

namespace {

// The window's designed outer position, in twips.
constexpr float DesignedLeft = 2265;
constexpr float DesignedTop = 4740;
// The window takes whole pixels, so a position in twips may move by up to one.
constexpr float OnePixel = 15;

constexpr std::int32_t DefaultUsed = 7631561;
constexpr std::int32_t DefaultFree = 12428157;

using Texts = std::map<QString, QString>;

class StartupTest : public MainFormFixture {
protected:
    [[nodiscard]] static QString text(const mainform& window, const char* label)
    {
        return window.findChild<QLabel*>(QLatin1StringView(label))->text();
    }
    [[nodiscard]] static LegendSwatch* swatch(const mainform& window, const char* name)
    {
        return window.findChild<LegendSwatch*>(QLatin1StringView(name));
    }
    [[nodiscard]] static DriveListBox* driveList(const mainform& window)
    {
        return window.findChild<DriveListBox*>(QStringLiteral("Drive1"));
    }
    [[nodiscard]] static bool messageShown()
    {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::any_of(windows.begin(), windows.end(),
                           [](const QWidget* widget) { return qobject_cast<const QMessageBox*>(widget) != nullptr; });
    }
};

TEST_F(StartupTest, AnEmptyStoreGivesTheDesignedWindowOnTheStartingDrive)
{
    const auto window = loadWindow();

    EXPECT_EQ(text(*window, "lblVERSION"), QStringLiteral("Version 4.6.9b"));
    EXPECT_EQ(text(*window, "lblDATE"), QStringLiteral("3/14/2012"));
    EXPECT_EQ(window->behaviour().usedColor(), DefaultUsed);
    EXPECT_EQ(window->behaviour().freeColor(), DefaultFree);
    EXPECT_EQ(swatch(*window, "lblUSEDLEG")->BackColor(), DefaultUsed);
    EXPECT_EQ(swatch(*window, "lblFREELEG")->BackColor(), DefaultFree);
    EXPECT_EQ(chartUsedColor(*window), QColor(201, 114, 116));
    EXPECT_EQ(chartFreeColor(*window), QColor(125, 163, 189));
    EXPECT_NEAR(window->behaviour().Left(), DesignedLeft, OnePixel);
    EXPECT_NEAR(window->behaviour().Top(), DesignedTop, OnePixel);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Disk Usage: / [/dev/sda2]"));
    EXPECT_EQ(window->behaviour().drivePath(), "/");
    // The store is read at start and written only at close.
    EXPECT_TRUE(storedSettings().empty());
}

TEST_F(StartupTest, AShownWindowStaysWhereItWasLoadedRunAfterRun)
{
    writeSettingsFile("[Settings]\nX=1440\nY=720\n");
    const auto window = loadWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_EQ(window->behaviour().Left(), 1440);
    EXPECT_EQ(window->behaviour().Top(), 720);
    ASSERT_TRUE(window->close());
    EXPECT_EQ(storedSettings()[QStringLiteral("X")], QStringLiteral("1440"));
    EXPECT_EQ(storedSettings()[QStringLiteral("Y")], QStringLiteral("720"));
}

TEST_F(StartupTest, AStoredDriveThatWentAwayLeavesTheListOnItsDrive)
{
    writeSettingsFile("[Settings]\nDrive=/gone\n");
    const auto window = loadWindow();

    EXPECT_FALSE(messageShown());
    EXPECT_EQ(driveList(*window)->currentText(), QStringLiteral("/ [/dev/sda2]"));
    EXPECT_EQ(window->behaviour().drivePath(), "/");
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Disk Usage: / [/dev/sda2]"));
    EXPECT_EQ(text(*window, "lblTOTAL"), QStringLiteral("1,000,000"));
    ASSERT_FALSE(queriedPaths.empty());
    EXPECT_EQ(queriedPaths.back(), "/");
}

TEST_F(StartupTest, AStoredDriveThatExistsIsSelectedAndShown)
{
    writeSettingsFile("[Settings]\nDrive=/media/usb\n");
    const auto window = loadWindow();

    EXPECT_EQ(driveList(*window)->currentText(), QStringLiteral("/media/usb [BACKUP]"));
    EXPECT_EQ(window->behaviour().drivePath(), "/media/usb");
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Disk Usage: /media/usb [BACKUP]"));
    EXPECT_EQ(text(*window, "lblTOTAL"), QStringLiteral("2,000,000"));
}

// A mount point that is not UTF-8 ("caf" and a Latin-1 e-acute) is queried,
// and stored again, with its exact bytes; only the caption shows a stand-in.
TEST_F(StartupTest, AStoredDriveThatIsNotUtf8IsQueriedAndStoredExactly)
{
    const std::string cafe = "/media/caf\xe9";
    drives[cafe] = {3'000'000, 1'000'000, true};
    entries.push_back({cafe + " [OLD]", cafe});
    writeSettingsFile("[Settings]\nDrive=/media/caf\xe9\n");
    const auto window = loadWindow();

    EXPECT_EQ(window->behaviour().drivePath(), cafe);
    ASSERT_FALSE(queriedPaths.empty());
    EXPECT_EQ(queriedPaths.back(), cafe);
    EXPECT_EQ(text(*window, "lblTOTAL"), QStringLiteral("3,000,000"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Disk Usage: /media/caf\uFFFD [OLD]"));
    ASSERT_TRUE(window->close());
    QFile stored(settingsFile());
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_TRUE(stored.readAll().contains("\nDrive=/media/caf\xe9\n"));
}

// Without a mount table there is no drive to list; the stored one is kept.
TEST_F(StartupTest, AnEmptyDriveListKeepsTheStoredDrive)
{
    entries.clear();
    writeSettingsFile("[Settings]\nDrive=/media/usb\n");
    const auto window = loadWindow();
    ASSERT_TRUE(window->close());
    EXPECT_EQ(storedSettings()[QStringLiteral("Drive")], QStringLiteral("/media/usb"));
}

// A stored colour text, written into both colour keys; no value means the key's
// default applies.
struct StoredColorRow {
    std::string name;
    QByteArray stored;
    std::optional<std::int32_t> color;
};
void PrintTo(const StoredColorRow& row, std::ostream* out)
{
    *out << row.name;
}

class StoredColorTest : public StartupTest, public testing::WithParamInterface<StoredColorRow> {};

TEST_P(StoredColorTest, ReachesTheVariableTheSwatchAndTheChart)
{
    const StoredColorRow& row = GetParam();
    writeSettingsFile("[Settings]\nUsedColor=" + row.stored + "\nFreeColor=" + row.stored + "\n");
    const auto window = loadWindow();

    const std::int32_t used = row.color.value_or(DefaultUsed);
    const std::int32_t free = row.color.value_or(DefaultFree);
    EXPECT_EQ(window->behaviour().usedColor(), used);
    EXPECT_EQ(window->behaviour().freeColor(), free);
    EXPECT_EQ(swatch(*window, "lblUSEDLEG")->BackColor(), used);
    EXPECT_EQ(swatch(*window, "lblFREELEG")->BackColor(), free);
    EXPECT_EQ(swatch(*window, "lblUSEDLEG")->palette().color(QPalette::Window), ColorValue::toQColor(used));
    EXPECT_EQ(chartUsedColor(*window), ColorValue::toQColor(used));
    EXPECT_EQ(chartFreeColor(*window), ColorValue::toQColor(free));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StoredColorTest,
    testing::Values(StoredColorRow{"PureRedInDecimal", "255", 255}, StoredColorRow{"PureRedInHex", "&HFF", 255},
                    StoredColorRow{"HalfGoesDownToEven", "7631560.5", 7631560},
                    StoredColorRow{"HalfGoesUpToEven", "7631561.5", 7631562},
                    StoredColorRow{"NotANumberIsBlack", "abc", 0},
                    StoredColorRow{"BeyondThirtyTwoBitsKeepsTheDefault", "99999999999", std::nullopt},
                    StoredColorRow{"BeyondADoubleKeepsTheDefault", "1E999", std::nullopt}),
    RowName{});

TEST_F(StartupTest, TheRedSwatchIsPureRed)
{
    writeSettingsFile("[Settings]\nUsedColor=&HFF\n");
    const auto window = loadWindow();
    EXPECT_EQ(swatch(*window, "lblUSEDLEG")->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(chartUsedColor(*window), QColor(255, 0, 0));
}

struct StoredPositionRow {
    std::string name;
    QByteArray stored;
    float left;
    float top;
};
void PrintTo(const StoredPositionRow& row, std::ostream* out)
{
    *out << row.name;
}

// An expected left or top: the frame against the screen's right or bottom edge.
constexpr float AtTheFarEdge = -1e9F;

class StoredPositionTest : public StartupTest, public testing::WithParamInterface<StoredPositionRow> {};

TEST_P(StoredPositionTest, PlacesTheWindow)
{
    // The rows assume the offscreen platform's one screen at the origin, smaller
    // than 100,000 twips (6,666 pixels) each way.
    const QList<QScreen*> screens = QGuiApplication::screens();
    ASSERT_EQ(screens.size(), 1);
    ASSERT_EQ(screens.front()->geometry().topLeft(), QPoint(0, 0));
    ASSERT_LT(screens.front()->geometry().right(), 6666);
    ASSERT_LT(screens.front()->geometry().bottom(), 6666);

    const StoredPositionRow& row = GetParam();
    writeSettingsFile("[Settings]\n" + row.stored);
    const auto window = loadWindow();
    // Not yet shown, the window counts the style's title bar above its client
    // area as its frame.
    const QRect screen = screens.front()->availableGeometry();
    const int frameHeight =
        window->height() + window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window.get());
    const float farLeft = static_cast<float>((screen.right() + 1 - window->width()) * 15);
    const float farTop = static_cast<float>((screen.bottom() + 1 - frameHeight) * 15);
    EXPECT_EQ(window->behaviour().Left(), row.left == AtTheFarEdge ? farLeft : row.left);
    EXPECT_EQ(window->behaviour().Top(), row.top == AtTheFarEdge ? farTop : row.top);
    EXPECT_FALSE(messageShown());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StoredPositionTest,
    testing::Values(StoredPositionRow{"PartlyOffTheLeftEdgeMovesIn", "Y=1200\nX=-300\n", 0, 1200},
                    StoredPositionRow{"AtAnInchAndHalfAnInch", "X=1440\nY=720\n", 1440, 720},
                    StoredPositionRow{"NotANumberIsZero", "X=abc\nY=abc\n", 0, 0},
                    StoredPositionRow{"WhollyOffToTheRightComesToItsEdge", "X=100000\nY=1200\n", AtTheFarEdge, 1200},
                    StoredPositionRow{"WhollyOffBelowComesToTheBottomEdge", "X=1440\nY=100000\n", 1440, AtTheFarEdge},
                    StoredPositionRow{"BeyondSinglePrecisionKeepsTheDesignedPlace", "X=1E300\nY=-1E300\n", DesignedLeft,
                                      DesignedTop},
                    StoredPositionRow{"BeyondEveryScreenKeepsTheDesignedPlace", "X=1E30\nY=-1E30\n", DesignedLeft,
                                      DesignedTop},
                    // One pixel of the window's corner on the screen: the whole window goes onto it.
                    StoredPositionRow{"OnePixelOnTheScreenBringsItWhollyOn", "X=-4800\nY=-5640\n", 0, 0}),
    RowName{});

// A run that picks the other drive, moves the window and changes both colours,
// then closes.
struct RoundTripRow {
    std::string name;
    QPoint position; // pixels
    QString x;
    QString y;
    QPoint restored; // wholly on the screen
};
void PrintTo(const RoundTripRow& row, std::ostream* out)
{
    *out << row.name;
}

class RoundTripTest : public StartupTest, public testing::WithParamInterface<RoundTripRow> {};

TEST_P(RoundTripTest, WhatAClosedWindowStoresTheNextOneRestores)
{
    const RoundTripRow& row = GetParam();
    writeSettingsFile("[Settings]\nFreeColor=255\n");
    {
        // Not shown: the offscreen platform, like a window manager, would pull a
        // window partly off the screen back onto it.
        const auto window = loadWindow();
        ASSERT_TRUE(pickDrive(*window, "/media/usb"));
        window->move(row.position);
        dialogAnswer = QColor(10, 20, 30);
        QTest::mouseRelease(swatch(*window, "lblUSEDLEG"), Qt::LeftButton);
        QTest::mouseRelease(swatch(*window, "lblFREELEG"), Qt::LeftButton, Qt::ShiftModifier);
        ASSERT_TRUE(window->close());
    }
    const Texts expected{{QStringLiteral("Drive"), QStringLiteral("/media/usb")},
                         {QStringLiteral("X"), row.x},
                         {QStringLiteral("Y"), row.y},
                         {QStringLiteral("UsedColor"), QStringLiteral("1971210")},
                         {QStringLiteral("FreeColor"), QStringLiteral("12428157")}};
    EXPECT_EQ(storedSettings(), expected);

    const auto again = loadWindow();
    EXPECT_EQ(again->behaviour().drivePath(), "/media/usb");
    EXPECT_EQ(again->windowTitle(), QStringLiteral("Disk Usage: /media/usb [BACKUP]"));
    EXPECT_EQ(again->frameGeometry().topLeft(), row.restored);
    EXPECT_EQ(again->behaviour().usedColor(), 0x1E140A);
    EXPECT_EQ(again->behaviour().freeColor(), DefaultFree);
    EXPECT_EQ(swatch(*again, "lblUSEDLEG")->BackColor(), 0x1E140A);
    EXPECT_EQ(swatch(*again, "lblFREELEG")->BackColor(), DefaultFree);
    EXPECT_EQ(chartUsedColor(*again), QColor(10, 20, 30));
    EXPECT_EQ(chartFreeColor(*again), QColor(125, 163, 189));
}

INSTANTIATE_TEST_SUITE_P(Rows, RoundTripTest,
                         testing::Values(RoundTripRow{"InchAndHalfInch", QPoint(96, 48), "1440", "720", QPoint(96, 48)},
                                         RoundTripRow{"PartlyOffTheLeftEdge", QPoint(-20, 80), "-300", "1200",
                                                      QPoint(0, 80)}),
                         RowName{});

TEST_F(StartupTest, ARunThatChangedNothingWritesTheSameTextsAgain)
{
    const QByteArray stored = "[Settings]\nDrive=/media/usb\nX=1440\nY=720\nUsedColor=255\nFreeColor=-1\n";
    writeSettingsFile(stored);
    const auto window = loadWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    // Every close writes all five keys, whether or not they changed.
    ASSERT_TRUE(QFile::remove(settingsFile()));
    ASSERT_TRUE(window->close());

    const Texts expected{{QStringLiteral("Drive"), QStringLiteral("/media/usb")},
                         {QStringLiteral("X"), QStringLiteral("1440")},
                         {QStringLiteral("Y"), QStringLiteral("720")},
                         {QStringLiteral("UsedColor"), QStringLiteral("255")},
                         {QStringLiteral("FreeColor"), QStringLiteral("-1")}};
    EXPECT_EQ(storedSettings(), expected);
}

TEST_F(StartupTest, ACorruptFileGivesTheDefaultsAndIsReplacedAtClose)
{
    writeSettingsFile(QByteArray("\x89PNG\r\n\x1a\n\0\0[Settings\nUsedColor=255\nX=-300\n", 37));
    const auto window = loadWindow();

    EXPECT_EQ(window->behaviour().usedColor(), DefaultUsed);
    EXPECT_EQ(window->behaviour().freeColor(), DefaultFree);
    EXPECT_NEAR(window->behaviour().Left(), DesignedLeft, OnePixel);
    EXPECT_EQ(window->behaviour().drivePath(), "/");

    window->move(96, 48);
    ASSERT_TRUE(window->close());
    const Texts expected{{QStringLiteral("Drive"), QStringLiteral("/")},
                         {QStringLiteral("X"), QStringLiteral("1440")},
                         {QStringLiteral("Y"), QStringLiteral("720")},
                         {QStringLiteral("UsedColor"), QStringLiteral("7631561")},
                         {QStringLiteral("FreeColor"), QStringLiteral("12428157")}};
    EXPECT_EQ(storedSettings(), expected);
}

TEST_F(StartupTest, AStoreThatCannotBeWrittenStillClosesAndSaysWhereOnce)
{
    // A plain file where the store's directory belongs: no write can succeed,
    // not even as root.
    const QByteArray occupant = "not a directory\n";
    {
        QFile file(settingsDirectory());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(occupant), occupant.size());
    }
    const auto window = loadWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));

    testing::internal::CaptureStderr();
    const bool closed = window->close();
    const std::string said = testing::internal::GetCapturedStderr();

    EXPECT_TRUE(closed);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find(settingsFile().toStdString()), std::string::npos) << said;
    QFile file(settingsDirectory());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), occupant);
}

TEST_F(StartupTest, TheTerminationSignalClosesTheWindowAndSavesTheSettings)
{
    const auto window = loadWindow();
    closeOnQuitSignals(window.get());
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->move(96, 48);

    ASSERT_EQ(std::raise(SIGTERM), 0);
    EXPECT_TRUE(QTest::qWaitFor([&window] { return !window->isVisible(); }, 5000));

    const Texts expected{{QStringLiteral("Drive"), QStringLiteral("/")},
                         {QStringLiteral("X"), QStringLiteral("1440")},
                         {QStringLiteral("Y"), QStringLiteral("720")},
                         {QStringLiteral("UsedColor"), QStringLiteral("7631561")},
                         {QStringLiteral("FreeColor"), QStringLiteral("12428157")}};
    EXPECT_EQ(storedSettings(), expected);
}

TEST_F(StartupTest, AClosePendingWhenARefreshYieldsClosesTheWindowAndSaves)
{
    const auto window = loadWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->move(96, 48);
    const std::size_t queriesBefore = queriedPaths.size();

    QMetaObject::invokeMethod(window.get(), "close", Qt::QueuedConnection);
    window->behaviour().RefreshDisplay();

    EXPECT_FALSE(window->isVisible());
    // The refresh that yielded to the close still ran to its end.
    EXPECT_EQ(queriedPaths.size(), queriesBefore + 1);
    const Texts expected{{QStringLiteral("Drive"), QStringLiteral("/")},
                         {QStringLiteral("X"), QStringLiteral("1440")},
                         {QStringLiteral("Y"), QStringLiteral("720")},
                         {QStringLiteral("UsedColor"), QStringLiteral("7631561")},
                         {QStringLiteral("FreeColor"), QStringLiteral("12428157")}};
    EXPECT_EQ(storedSettings(), expected);
}

// The same for a close from within the colour dialog: the window stays until
// the handler has returned, and the colour chosen is stored.
TEST_F(StartupTest, ACloseWhileTheColourDialogIsOpenWaitsForTheHandler)
{
    const auto window = loadWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    bool visibleDuringTheHandler = false;
    duringDialog = [&window, &visibleDuringTheHandler] {
        window->close();
        visibleDuringTheHandler = window->isVisible();
    };
    dialogAnswer = QColor(255, 0, 0);
    QTest::mouseRelease(swatch(*window, "lblUSEDLEG"), Qt::LeftButton);
    EXPECT_TRUE(visibleDuringTheHandler);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(storedSettings()[QStringLiteral("UsedColor")], QStringLiteral("255"));
}

} // namespace
