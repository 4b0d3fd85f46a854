#include "app/behaviour/FittedSize.h"
#include "app/qt/AutoSizeLabel.h"
#include "app/qt/ChartView.h"
#include "app/qt/ColorValue.h"
#include "app/qt/Twips.h"
#include "settings/SettingKeys.h"
#include "tests/MainFormFixture.h"
#include "tests/RowName.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace {

class RefreshTest : public MainFormFixture {
protected:
    void SetUp() override
    {
        MainFormFixture::SetUp();
        window = loadWindow();
    }

    [[nodiscard]] QString text(const char* label) const
    {
        return window->findChild<QLabel*>(QString::fromLatin1(label))->text();
    }
    // What a screen reader is told a figure is called.
    [[nodiscard]] QString spokenName(const char* label) const
    {
        auto* widget = window->findChild<QLabel*>(QString::fromLatin1(label));
        return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
    }
    [[nodiscard]] bool timerRunning() const { return window->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive(); }
    [[nodiscard]] QImage chart() const { return chartImage(*window); }
    // The chart's colour at a logical pixel.
    [[nodiscard]] QColor chartAt(int x, int y) const
    {
        const QImage image = chart();
        const qreal ratio = image.devicePixelRatio();
        return image.pixelColor(static_cast<int>(x * ratio), static_cast<int>(y * ratio));
    }
    [[nodiscard]] bool chartIsBlank() const
    {
        const QColor background = chartAt(0, 0);
        for (const QPoint at : {QPoint(128, 128), QPoint(64, 200), QPoint(200, 64), QPoint(200, 200), QPoint(64, 64)})
            if (chartAt(at.x(), at.y()) != background)
                return false;
        return true;
    }

    std::unique_ptr<mainform> window;
};

TEST_F(RefreshTest, LoadShowsTheDriveOfTheStartingDirectoryWithItsFigures)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Disk Usage: / [/dev/sda2]"));
    EXPECT_EQ(window->behaviour().drivePath(), "/");
    EXPECT_EQ(text("lblFREE"), QStringLiteral("250,000"));
    EXPECT_EQ(text("lblUSED"), QStringLiteral("750,000"));
    EXPECT_EQ(text("lblTOTAL"), QStringLiteral("1,000,000"));
    EXPECT_TRUE(timerRunning());
}

TEST_F(RefreshTest, AvailableThenNotAvailableThenAvailableAgain)
{
    drives["/"].available = false;
    window->behaviour().RefreshDisplay();
    EXPECT_EQ(text("lblFREE"), QString());
    EXPECT_EQ(text("lblUSED"), QString());
    EXPECT_EQ(text("lblTOTAL"), QStringLiteral("Not Available  "));
    EXPECT_EQ(spokenName("lblFREE"), QStringLiteral("Free: Not Available"));
    EXPECT_EQ(spokenName("lblUSED"), QStringLiteral("Used: Not Available"));
    EXPECT_EQ(spokenName("lblTOTAL"), QStringLiteral("Capacity: Not Available"));
    EXPECT_FALSE(timerRunning());
    EXPECT_TRUE(chartIsBlank());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Disk Usage: / [/dev/sda2]"));

    drives["/"].available = true;
    window->behaviour().RefreshDisplay();
    EXPECT_EQ(text("lblTOTAL"), QStringLiteral("1,000,000"));
    EXPECT_EQ(text("lblFREE"), QStringLiteral("250,000"));
    EXPECT_EQ(spokenName("lblFREE"), QStringLiteral("Free: 250,000 bytes"));
    EXPECT_EQ(spokenName("lblUSED"), QStringLiteral("Used: 750,000 bytes"));
    EXPECT_EQ(spokenName("lblTOTAL"), QStringLiteral("Capacity: 1,000,000 bytes"));
    EXPECT_TRUE(timerRunning());
    EXPECT_FALSE(chartIsBlank());
}

TEST_F(RefreshTest, PickingTheShownDriveAgainShowsADriveThatCameBack)
{
    auto* list = window->findChild<DriveListBox*>(QStringLiteral("Drive1"));
    drives["/media/usb"].available = false;
    ASSERT_TRUE(pickDrive(*window, "/media/usb"));
    ASSERT_EQ(text("lblTOTAL"), QStringLiteral("Not Available  "));
    ASSERT_FALSE(timerRunning());

    // Plugged in again; the user opens the list and takes the entry shown.
    drives["/media/usb"].available = true;
    list->showPopup();
    QTest::keyClick(list->view(), Qt::Key_Return);

    EXPECT_EQ(queriedPaths.back(), "/media/usb");
    EXPECT_EQ(text("lblTOTAL"), QStringLiteral("2,000,000"));
    EXPECT_TRUE(timerRunning());
}

TEST_F(RefreshTest, PickingADriveNamesItAndShowsItsFigures)
{
    ASSERT_TRUE(pickDrive(*window, "/media/usb"));
    EXPECT_EQ(window->behaviour().drivePath(), "/media/usb");
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Disk Usage: /media/usb [BACKUP]"));
    EXPECT_EQ(queriedPaths.back(), "/media/usb");
    EXPECT_EQ(text("lblTOTAL"), QStringLiteral("2,000,000"));
}

// The arrow keys on the closed list pick the next drive, as the mouse does.
TEST_F(RefreshTest, TheArrowKeysOnTheClosedListPickADrive)
{
    QTest::keyClick(window->findChild<DriveListBox*>(QStringLiteral("Drive1")), Qt::Key_Down);
    EXPECT_EQ(window->behaviour().drivePath(), "/media/usb");
    EXPECT_EQ(text("lblTOTAL"), QStringLiteral("2,000,000"));
}

TEST_F(RefreshTest, OpeningTheListShowsADriveMountedSinceTheStart)
{
    entries.push_back({"/mnt/nas [nas:/export]", "/mnt/nas"});
    auto* list = window->findChild<DriveListBox*>(QStringLiteral("Drive1"));
    list->showPopup();
    EXPECT_EQ(list->findText(QStringLiteral("/mnt/nas [nas:/export]")), 2);
    EXPECT_EQ(list->currentIndex(), 0);
    list->hidePopup();
}

struct FieldTextRow {
    const char* name;
    const char* text;
    const char* start; // how the closed list's text begins
    const char* kept;  // the end it shows whole; "" when it shows the start alone
    int extra;         // pixels of room beyond the kept end, or the start, and "/…"
};

class DriveFieldTextTest : public testing::TestWithParam<FieldTextRow> {};

// Drives mounted under one folder differ in their last component: the closed
// list shortens the folder part in the middle and keeps that component and its
// label whole where they fit, else shows that component from its start.
TEST_P(DriveFieldTextTest, KeepsTheLastComponentAndLabelWhole)
{
    const FieldTextRow& row = GetParam();
    const QFontMetrics metrics(QApplication::font());
    const QString text = QString::fromUtf8(row.text);
    const QString kept = QString::fromUtf8(row.kept);
    const QString start = QString::fromUtf8(row.start);
    const int room = metrics.horizontalAdvance(kept.isEmpty() ? start : kept) +
                     metrics.horizontalAdvance(QStringLiteral("/…")) + row.extra;
    const QString shown = DriveListBox::fieldText(text, metrics, room);
    EXPECT_LE(metrics.horizontalAdvance(shown), room) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(kept)) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith(start)) << shown.toStdString();
    EXPECT_EQ(shown == text, metrics.horizontalAdvance(text) <= room) << shown.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DriveFieldTextTest,
    testing::Values(FieldTextRow{"ShortTextWhole", "/ [/dev/sda2]", "/", "/ [/dev/sda2]", 40},
                    FieldTextRow{"PassportUnderTheUsersFolder", "/media/alice/My Passport [My Passport]", "/",
                                 "My Passport [My Passport]", 30},
                    FieldTextRow{"BookUnderTheUsersFolder", "/media/alice/My Book [My Book]", "/", "My Book [My Book]",
                                 30},
                    FieldTextRow{"LabelWithSlashes", "/mnt/departments/accounting/office [//fileserver/office]", "/",
                                 "office [//fileserver/office]", 30},
                    FieldTextRow{"LastComponentTooWideShowsItsStart",
                                 "/media/alice/Removable Media/My Passport Ultra [tmpfs]", "…/My Passport", "", 0}),
    RowName{});

TEST_F(RefreshTest, FromAnUnavailableDriveToAReadableOneRestartsTheTimer)
{
    drives["/media/usb"].available = false;
    ASSERT_TRUE(pickDrive(*window, "/media/usb"));
    EXPECT_FALSE(timerRunning());
    ASSERT_TRUE(pickDrive(*window, "/"));
    EXPECT_TRUE(timerRunning());
    EXPECT_EQ(text("lblTOTAL"), QStringLiteral("1,000,000"));
}

struct FiguresCase {
    const char* name;
    FakeDrive drive;
    const char* free;
    const char* used;
    const char* total;
};

const FiguresCase figuresCases[] = {
    {"NoFreeSpace", {5'000'000, 0, true}, "0", "5,000,000", "5,000,000"},
    {"ThousandBytesOneUsed", {1'000, 999, true}, "999", "1", "1,000"},
    {"FreeAboveCapacity", {10'000, 14'096, true}, "14,096", "-4,096", "10,000"},
    {"EmptyVolume", {0, 0, true}, "0", "0", "0"},
    // Figures of 12, 15, 18, 21 and 25 characters.
    {"TwelveCharacters", {0, 100'000'000, true}, "100,000,000", "-100,000,000", "0"},
    {"Fifteen", {999'999'999'999, 1, true}, "1", "999,999,999,998", "999,999,999,999"},
    {"TwentyTerabytes", {21'990'232'555'520, 0, true}, "0", "21,990,232,555,520", "21,990,232,555,520"},
    {"TwoPetabytes", {2'251'799'813'685'248, 0, true}, "0", "2,251,799,813,685,248", "2,251,799,813,685,248"},
    {"Largest", {INT64_MAX, 0, true}, "0", "9,223,372,036,854,775,807", "9,223,372,036,854,775,807"},
};

class FiguresTest : public RefreshTest, public testing::WithParamInterface<FiguresCase> {};

TEST_P(FiguresTest, ShowsFreeUsedAndCapacity)
{
    drives["/"] = GetParam().drive;
    window->behaviour().RefreshDisplay();
    EXPECT_EQ(text("lblFREE"), QString::fromLatin1(GetParam().free));
    EXPECT_EQ(text("lblUSED"), QString::fromLatin1(GetParam().used));
    EXPECT_EQ(text("lblTOTAL"), QString::fromLatin1(GetParam().total));
    EXPECT_TRUE(timerRunning());
    // However long, each figure ends at its designed right edge, draws within
    // its box and keeps clear of its caption.
    const Twips twips(window->logicalDpiY());
    for (const auto& [figureName, captionName] :
         {std::pair{"lblFREE", "lbl(4)"}, {"lblUSED", "lbl(5)"}, {"lblTOTAL", "lbl(6)"}}) {
        const auto* figure = window->findChild<QLabel*>(QString::fromLatin1(figureName));
        const auto* caption = window->findChild<QLabel*>(QString::fromLatin1(captionName));
        const FormTable::Control& design =
            *std::find_if(FormTable::mainControls.begin(), FormTable::mainControls.end(),
                          [figureName](const FormTable::Control& c) { return c.name == figureName; });
        EXPECT_EQ(figure->geometry().right(), twips.rect(design.rect).right()) << figureName;
        EXPECT_LE(QFontMetricsF(figure->font()).horizontalAdvance(figure->text()), figure->width()) << figureName;
        EXPECT_GE(figure->x() - (caption->geometry().right() + 1), FittedSize::CaptionGap) << figureName;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, FiguresTest, testing::ValuesIn(figuresCases), RowName{});

TEST_F(RefreshTest, FiguresKeepTheirRightEdgeWhateverTheirLength)
{
    const auto* total = window->findChild<AutoSizeLabel*>(QStringLiteral("lblTOTAL"));
    const auto* used = window->findChild<AutoSizeLabel*>(QStringLiteral("lblUSED"));
    drives["/"] = {INT64_MAX, 1, true};
    window->behaviour().RefreshDisplay();
    const int longWidth = total->width();
    drives["/"] = {1'000, 999, true};
    window->behaviour().RefreshDisplay();
    EXPECT_LT(total->width(), longWidth);
    EXPECT_EQ(total->geometry().right(), used->geometry().right());
    EXPECT_EQ(total->geometry().right(), total->rightEdge() - 1);
}

// A tick waiting when a refresh yields runs its own whole refresh first; the
// outer refresh then queries again and its figures are the ones shown.
TEST_F(RefreshTest, TheRefreshThatFinishesLastDecidesTheDisplay)
{
    queriedPaths.clear();
    QMetaObject::invokeMethod(
        window.get(), [this] { window->behaviour().Timer1_Timer(); }, Qt::QueuedConnection);
    // The nested refresh sees the first figures; by the time the outer one
    // queries, the drive has changed.
    drives["/"] = {3'000, 1'000, true};
    QMetaObject::invokeMethod(
        window.get(),
        [this] {
            drives["/"] = {6'000, 5'000, true};
        },
        Qt::QueuedConnection);
    window->behaviour().RefreshDisplay();
    EXPECT_EQ(queriedPaths.size(), 2U);
    EXPECT_EQ(text("lblTOTAL"), QStringLiteral("6,000"));
    EXPECT_EQ(text("lblFREE"), QStringLiteral("5,000"));
}

TEST_F(RefreshTest, FiguresCarryBinaryUnitsAndSharesForTooltipsAndScreenReaders)
{
    drives["/"] = {1'073'741'824, 536'870'912, true};
    window->behaviour().RefreshDisplay();
    EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("lblFREE"))->toolTip(), QStringLiteral("512.0 MiB, 50.0 %"));
    EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("lblTOTAL"))->toolTip(), QStringLiteral("1.0 GiB, 100.0 %"));
    EXPECT_EQ(window->findChild<ChartView*>(QStringLiteral("picDRIVE"))->accessibleDescription(),
              QStringLiteral("50.0 % used"));
    drives["/"].available = false;
    window->behaviour().RefreshDisplay();
    EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("lblFREE"))->toolTip(), QString());
}

TEST_F(RefreshTest, TheChartShowsTheUsedShareAboveAndTheFreeShareBelowWhenHalfIsFree)
{
    drives["/"] = {2'000'000, 1'000'000, true};
    window->behaviour().RefreshDisplay();
    EXPECT_EQ(chartAt(128, 60), ColorValue::toQColor(SettingKeys::DefaultUsedColor));
    EXPECT_EQ(chartAt(128, 196), ColorValue::toQColor(SettingKeys::DefaultFreeColor));
}

// Each control of the form table at its rectangle, converted at the screen's
// resolution; a label sized to its text at its right edge.
TEST_F(RefreshTest, EveryControlOfTheFormTableStandsAtItsRectangle)
{
    const Twips twips(window->logicalDpiY());
    for (const FormTable::Control& design : FormTable::mainControls) {
        const auto* control = window->findChild<QWidget*>(QString::fromLatin1(design.name));
        ASSERT_NE(control, nullptr) << design.name;
        const QRect expected = twips.rect(design.rect);
        if (FormTable::keepsRightEdge(design.kind))
            EXPECT_EQ(control->geometry().right(), expected.right()) << design.name;
        else
            EXPECT_EQ(control->geometry(), expected) << design.name;
    }
}

TEST_F(RefreshTest, WindowHasAFixedClientAreaAndNoMaximiseButton)
{
    const Twips twips(window->logicalDpiY());
    EXPECT_EQ(window->size(),
              QSize(twips.toPixels(FormTable::mainForm.clientWidth), twips.toPixels(FormTable::mainForm.clientHeight)));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
}

// A drive that answers late, from another thread, as a slow network share
// does: each query waits for the next delay of `delays` (200 ms when none is
// left) and then reports what `drives` holds at that moment.
class LateAnswerTest : public RefreshTest {
protected:
    void SetUp() override
    {
        MainFormFixture::SetUp();
        window = loadWindow(
            [this](DriveAnswer& answer, const std::string& rootPath, std::chrono::milliseconds, LateDriveAnswer late) {
                // One query out per path, as with a real drive.
                if (!markOut(rootPath, true)) {
                    answer.capacity = FailureValue;
                    return true;
                }
                const auto delay = delays.empty() ? std::chrono::milliseconds(200) : delays.front();
                if (!delays.empty())
                    delays.erase(delays.begin());
                const FakeDrive drive = drives[rootPath];
                m_answers.emplace_back([this, rootPath, drive, delay, late = std::move(late)] {
                    std::this_thread::sleep_for(delay);
                    markOut(rootPath, false);
                    late({drive.available ? Currency::fromStored(drive.capacity) : FailureValue,
                          Currency::fromStored(drive.free)});
                });
                return false;
            });
    }
    void TearDown() override
    {
        for (auto& answer : m_answers)
            answer.join();
        RefreshTest::TearDown();
    }

    std::vector<std::chrono::milliseconds> delays;

private:
    // False when the path's query is out already.
    bool markOut(const std::string& rootPath, bool out)
    {
        const std::lock_guard guard(m_mutex);
        return out ? m_out.insert(rootPath).second : m_out.erase(rootPath) > 0;
    }

    std::mutex m_mutex;
    std::set<std::string> m_out;
    std::vector<std::thread> m_answers;
};

TEST_F(LateAnswerTest, ALateAnswerFinishesItsRefreshWhenItComes)
{
    EXPECT_EQ(text("lblTOTAL"), QStringLiteral("000,000,000,000")) << "shown before the drive answered";
    EXPECT_TRUE(QTest::qWaitFor([&] { return text("lblTOTAL") == QStringLiteral("1,000,000"); }, 2'000));
    EXPECT_EQ(text("lblFREE"), QStringLiteral("250,000"));
    EXPECT_TRUE(timerRunning());
    EXPECT_FALSE(chartIsBlank());
}

TEST_F(LateAnswerTest, AnAnswerOvertakenByAnotherDrivesIsDropped)
{
    QTest::qWait(400); // the load's refresh is done
    delays = {std::chrono::milliseconds(600), std::chrono::milliseconds(100)};
    window->behaviour().RefreshDisplay();
    ASSERT_TRUE(pickDrive(*window, "/media/usb"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return text("lblTOTAL") == QStringLiteral("2,000,000"); }, 2'000));
    QTest::qWait(800); // past the first drive's answer
    EXPECT_EQ(text("lblTOTAL"), QStringLiteral("2,000,000"));
}

TEST_F(LateAnswerTest, NoAnswerWithinASecondIsNotAvailableAndItsAnswerIsDropped)
{
    QTest::qWait(400);
    delays = {std::chrono::milliseconds(1'500)};
    drives["/"] = {3'000, 1'000, true};
    window->findChild<QTimer*>(QStringLiteral("Timer1"))->stop(); // only the deadline ends this refresh
    window->behaviour().RefreshDisplay();
    EXPECT_TRUE(QTest::qWaitFor([&] { return text("lblTOTAL") == QStringLiteral("Not Available  "); }, 1'400));
    EXPECT_FALSE(timerRunning());
    QTest::qWait(700); // past the answer
    EXPECT_EQ(text("lblTOTAL"), QStringLiteral("Not Available  "));
}

// A box given a new size: the window hands that to the behaviour, which plans
// the chart again to fit.
TEST_F(RefreshTest, AResizedChartBoxIsDrawnAgainToFit)
{
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    auto* box = window->findChild<ChartView*>(QStringLiteral("picDRIVE"));
    box->resize(box->width() / 2, box->height() / 2);
    QCoreApplication::processEvents();
    EXPECT_EQ(chartAt(box->width() / 4, box->height() / 4), QColor(201, 114, 116));
    EXPECT_EQ(chartAt(box->width() * 3 / 4, box->height() * 3 / 4), QColor(125, 163, 189));
}

// Counts what a refresh changes on the screen: repaints of the chart box, and
// repaints and new tooltips of the figures.
class ScreenChanges : public QObject {
public:
    int chartPaints = 0;
    int figureChanges = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const bool chart = watched->objectName() == QStringLiteral("picDRIVE");
        if (event->type() == QEvent::Paint && chart)
            ++chartPaints;
        if ((event->type() == QEvent::Paint && !chart) || event->type() == QEvent::ToolTipChange)
            ++figureChanges;
        return false;
    }
};

TEST_F(RefreshTest, AnUnchangedDriveChangesNothingOnScreenAndOneByteMoreRepaintsOnce)
{
    // 5,000 bytes used draw no wedge yet; 5,001 do.
    drives["/"] = {1'000'000, 995'000, true};
    window->behaviour().RefreshDisplay();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    auto* chart = window->findChild<ChartView*>(QStringLiteral("picDRIVE"));
    ScreenChanges changes;
    chart->installEventFilter(&changes);
    for (const char* figure : {"lblFREE", "lblUSED", "lblTOTAL"})
        window->findChild<QLabel*>(QString::fromLatin1(figure))->installEventFilter(&changes);
    QTest::qWait(50);
    changes.chartPaints = 0;

    for (int tick = 0; tick < 3; ++tick)
        window->behaviour().RefreshDisplay();
    QTest::qWait(50);
    EXPECT_EQ(changes.chartPaints, 0);
    EXPECT_EQ(changes.figureChanges, 0);

    drives["/"].free = 994'999;
    window->behaviour().RefreshDisplay();
    QTest::qWait(50);
    EXPECT_EQ(changes.chartPaints, 1);
    EXPECT_GT(changes.figureChanges, 0);
    EXPECT_EQ(text("lblFREE"), QStringLiteral("994,999"));
}

} // namespace
