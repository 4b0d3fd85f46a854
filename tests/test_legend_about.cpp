#include "app/behaviour/Contrast.h"
#include "app/qt/AboutForm.h"
#include "app/qt/ColorValue.h"
#include "app/qt/LegendSwatch.h"
#include "app/qt/LinkLabel.h"
#include "tests/MainFormFixture.h"
#include "tests/RowName.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdint>
#include <functional>

namespace {

double contrast(const QColor& one, const QColor& other)
{
    return Contrast::ratio(ColorValue::fromQColor(one), ColorValue::fromQColor(other));
}

constexpr std::int32_t DefaultUsed = 7631561;
constexpr std::int32_t DefaultFree = 12428157;
// What the tests start from: colours other than the defaults.
constexpr std::int32_t StoredUsed = 0x0000FF; // red
constexpr std::int32_t StoredFree = 0x00FF00; // green
// What the scripted dialog picks.
const QColor Picked(10, 20, 30);
constexpr std::int32_t PickedValue = 0x1E140A;

enum class Share { Used, Free };

class LegendTest : public MainFormFixture {
protected:
    void SetUp() override
    {
        MainFormFixture::SetUp();
        writeSettingsFile("[Settings]\nUsedColor=255\nFreeColor=65280\n");
        window = loadWindow();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    [[nodiscard]] LegendSwatch* swatch(Share share) const
    {
        return window->findChild<LegendSwatch*>(share == Share::Used ? QStringLiteral("lblUSEDLEG")
                                                                     : QStringLiteral("lblFREELEG"));
    }
    [[nodiscard]] std::int32_t color(Share share) const
    {
        return share == Share::Used ? window->behaviour().usedColor() : window->behaviour().freeColor();
    }
    [[nodiscard]] QColor chartColor(Share share) const
    {
        return share == Share::Used ? chartUsedColor(*window) : chartFreeColor(*window);
    }
    [[nodiscard]] QImage chart() const { return chartImage(*window); }
    [[nodiscard]] bool timerRunning() const { return window->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive(); }

    // Colour, swatch and chart agree on the colour of that share.
    void expectShareColor(Share share, std::int32_t value) const
    {
        EXPECT_EQ(color(share), value);
        EXPECT_EQ(swatch(share)->BackColor(), value);
        EXPECT_EQ(swatch(share)->palette().color(QPalette::Window), ColorValue::toQColor(value));
        EXPECT_EQ(chartColor(share), ColorValue::toQColor(value));
    }

    std::unique_ptr<mainform> window;
};

// A release over a swatch: which swatch, which button, which keys held; or,
// with a key given, that key pressed while the swatch has the focus.
struct ReleaseRow {
    std::string name;
    Share share;
    Qt::MouseButton button;
    Qt::KeyboardModifiers keys;
    Qt::Key key = Qt::Key_unknown;
};
void PrintTo(const ReleaseRow& row, std::ostream* out)
{
    *out << row.name;
}

void release(LegendSwatch* swatch, const ReleaseRow& row)
{
    if (row.key == Qt::Key_unknown) {
        QTest::mouseRelease(swatch, row.button, row.keys);
        return;
    }
    swatch->setFocus();
    QTest::keyClick(swatch, row.key, row.keys);
}

class ShiftReleaseTest : public LegendTest, public testing::WithParamInterface<ReleaseRow> {};

TEST_P(ShiftReleaseTest, ResetsTheDefaultWithoutADialogAndRedraws)
{
    const ReleaseRow& row = GetParam();
    const Share other = row.share == Share::Used ? Share::Free : Share::Used;
    const std::int32_t otherColor = color(other);
    const std::size_t queriesBefore = queriedPaths.size();

    release(swatch(row.share), row);

    EXPECT_TRUE(dialogStarts.empty());
    EXPECT_EQ(queriedPaths.size(), queriesBefore + 1);
    expectShareColor(row.share, row.share == Share::Used ? DefaultUsed : DefaultFree);
    expectShareColor(other, otherColor);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ShiftReleaseTest,
    testing::Values(
        ReleaseRow{"UsedLeftShift", Share::Used, Qt::LeftButton, Qt::ShiftModifier},
        ReleaseRow{"UsedRightShiftCtrl", Share::Used, Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier},
        ReleaseRow{"UsedMiddleShiftAlt", Share::Used, Qt::MiddleButton, Qt::ShiftModifier | Qt::AltModifier},
        ReleaseRow{"FreeLeftShift", Share::Free, Qt::LeftButton, Qt::ShiftModifier},
        ReleaseRow{"FreeMiddleShiftCtrl", Share::Free, Qt::MiddleButton, Qt::ShiftModifier | Qt::ControlModifier},
        ReleaseRow{"FreeRightShiftCtrlAlt", Share::Free, Qt::RightButton,
                   Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier},
        ReleaseRow{"UsedShiftSpace", Share::Used, Qt::NoButton, Qt::ShiftModifier, Qt::Key_Space},
        ReleaseRow{"FreeShiftReturn", Share::Free, Qt::NoButton, Qt::ShiftModifier, Qt::Key_Return}),
    RowName{});

TEST_F(LegendTest, ResettingADefaultColourStillRedraws)
{
    QTest::mouseRelease(swatch(Share::Free), Qt::LeftButton, Qt::ShiftModifier);
    const std::size_t queriesBefore = queriedPaths.size();
    QTest::mouseRelease(swatch(Share::Free), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(queriedPaths.size(), queriesBefore + 1);
    expectShareColor(Share::Free, DefaultFree);
}

class DialogReleaseTest : public LegendTest, public testing::WithParamInterface<ReleaseRow> {};

TEST_P(DialogReleaseTest, OpensTheFullDialogAtTheSwatchColourAndTakesThePick)
{
    const ReleaseRow& row = GetParam();
    const Share other = row.share == Share::Used ? Share::Free : Share::Used;
    const std::int32_t otherColor = color(other);
    const std::int32_t startColor = row.share == Share::Used ? StoredUsed : StoredFree;
    const std::size_t queriesBefore = queriedPaths.size();
    dialogAnswer = Picked;

    release(swatch(row.share), row);

    EXPECT_EQ(dialogStarts, std::vector<QColor>{ColorValue::toQColor(startColor)});
    EXPECT_EQ(queriedPaths.size(), queriesBefore + 1);
    expectShareColor(row.share, PickedValue);
    expectShareColor(other, otherColor);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DialogReleaseTest,
    testing::Values(ReleaseRow{"UsedLeft", Share::Used, Qt::LeftButton, Qt::NoModifier},
                    ReleaseRow{"UsedLeftCtrl", Share::Used, Qt::LeftButton, Qt::ControlModifier},
                    ReleaseRow{"UsedRightAlt", Share::Used, Qt::RightButton, Qt::AltModifier},
                    ReleaseRow{"UsedMiddle", Share::Used, Qt::MiddleButton, Qt::NoModifier},
                    ReleaseRow{"FreeLeft", Share::Free, Qt::LeftButton, Qt::NoModifier},
                    ReleaseRow{"FreeLeftAlt", Share::Free, Qt::LeftButton, Qt::AltModifier},
                    ReleaseRow{"FreeRightCtrlAlt", Share::Free, Qt::RightButton, Qt::ControlModifier | Qt::AltModifier},
                    ReleaseRow{"FreeMiddle", Share::Free, Qt::MiddleButton, Qt::NoModifier},
                    ReleaseRow{"UsedSpace", Share::Used, Qt::NoButton, Qt::NoModifier, Qt::Key_Space},
                    ReleaseRow{"FreeEnter", Share::Free, Qt::NoButton, Qt::KeypadModifier, Qt::Key_Enter}),
    RowName{});

TEST_F(LegendTest, CancelKeepsTheColourAndStillRedraws)
{
    const QImage before = chart().copy();
    const std::size_t queriesBefore = queriedPaths.size();

    QTest::mouseRelease(swatch(Share::Used), Qt::LeftButton);

    EXPECT_EQ(dialogStarts.size(), 1U);
    EXPECT_EQ(queriedPaths.size(), queriesBefore + 1);
    expectShareColor(Share::Used, StoredUsed);
    expectShareColor(Share::Free, StoredFree);
    EXPECT_EQ(chart(), before);
}

TEST_F(LegendTest, AReleaseOutsideTheSwatchDoesNothing)
{
    const std::size_t queriesBefore = queriedPaths.size();
    dialogAnswer = Picked;
    LegendSwatch* used = swatch(Share::Used);
    // The button went down on the swatch and the pointer left it before the release.
    for (const QPoint outside : {QPoint(-1, 5), QPoint(used->width(), 5), QPoint(5, used->height() + 20)}) {
        QTest::mouseRelease(used, Qt::LeftButton, Qt::NoModifier, outside);
        QTest::mouseRelease(used, Qt::LeftButton, Qt::ShiftModifier, outside);
    }
    EXPECT_TRUE(dialogStarts.empty());
    EXPECT_EQ(queriedPaths.size(), queriesBefore);
    expectShareColor(Share::Used, StoredUsed);
}

TEST_F(LegendTest, AChosenColourIsStoredAtCloseAndRestored)
{
    dialogAnswer = Picked;
    QTest::mouseRelease(swatch(Share::Free), Qt::LeftButton);
    ASSERT_TRUE(window->close());
    window.reset();
    EXPECT_EQ(storedSettings()[QStringLiteral("FreeColor")], QStringLiteral("1971210"));
    EXPECT_EQ(storedSettings()[QStringLiteral("UsedColor")], QStringLiteral("255"));

    window = loadWindow();
    expectShareColor(Share::Free, PickedValue);
    expectShareColor(Share::Used, StoredUsed);
}

// How the About dialog is opened and how it is closed.
struct AboutRow {
    std::string name;
    std::function<void(mainform&)> open;
    bool closeWithOK;
};
void PrintTo(const AboutRow& row, std::ostream* out)
{
    *out << row.name;
}

void clickLink(mainform& window, const char* name)
{
    QTest::mouseClick(window.findChild<LinkLabel*>(QLatin1StringView(name)), Qt::LeftButton);
}

void pressOnLink(mainform& window, const char* name, Qt::Key key)
{
    auto* link = window.findChild<LinkLabel*>(QLatin1StringView(name));
    link->setFocus();
    QTest::keyClick(link, key);
}

class AboutTest : public LegendTest, public testing::WithParamInterface<AboutRow> {};

TEST_P(AboutTest, OpensModalAtTheWindowCornerAndLeavesNothingBehind)
{
    const AboutRow& row = GetParam();
    window->move(40, 30);
    const QPoint corner = window->frameGeometry().topLeft();
    const QString caption = window->windowTitle();

    bool inspected = false;
    QTimer::singleShot(0, window.get(), [&] {
        auto* about = window->findChild<frmABOUT*>();
        if (about == nullptr) {
            ADD_FAILURE() << "no About dialog is open";
            return;
        }
        inspected = true;
        EXPECT_EQ(QApplication::activeModalWidget(), about);
        EXPECT_EQ(about->parentWidget(), window.get());
        EXPECT_TRUE(about->isModal());
        EXPECT_EQ(about->windowTitle(), QStringLiteral("About Quillmar"));
        EXPECT_EQ(about->findChild<QLabel*>(QStringLiteral("lblTitle"))->text(), QStringLiteral("Quillmar"));
        EXPECT_EQ(about->findChild<QLabel*>(QStringLiteral("lblVersion"))->text(),
                  QStringLiteral("Version 4.6.9b     3/14/2012"));
        EXPECT_EQ(about->findChild<QLabel*>(QStringLiteral("lblDescription"))->text(),
                  QStringLiteral("Quillmar Utility Program"));
        EXPECT_EQ(about->frameGeometry().topLeft(), corner);
        auto* ok = about->findChild<QPushButton*>(QStringLiteral("cmdOK"));
        EXPECT_EQ(about->focusWidget(), ok);
        // The refresh goes on behind the dialog.
        EXPECT_TRUE(timerRunning());
        if (row.closeWithOK)
            QTest::mouseClick(ok, Qt::LeftButton);
        else
            about->close();
    });
    row.open(*window);

    EXPECT_TRUE(inspected);
    EXPECT_TRUE(window->findChildren<frmABOUT*>().isEmpty());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(window->windowTitle(), caption);
    EXPECT_EQ(window->frameGeometry().topLeft(), corner);
    EXPECT_TRUE(timerRunning());
    expectShareColor(Share::Used, StoredUsed);
    expectShareColor(Share::Free, StoredFree);
    // Nothing deferred is left to run on a dialog that no longer exists.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AboutTest,
    testing::Values(AboutRow{"VersionHandlerThenOK", [](mainform& w) { w.behaviour().lblVERSION_Click(); }, true},
                    AboutRow{"VersionHandlerThenClose", [](mainform& w) { w.behaviour().lblVERSION_Click(); }, false},
                    AboutRow{"DateHandlerThenOK", [](mainform& w) { w.behaviour().lblDATE_Click(); }, true},
                    AboutRow{"DateHandlerThenClose", [](mainform& w) { w.behaviour().lblDATE_Click(); }, false},
                    AboutRow{"VersionClickThenOK", [](mainform& w) { clickLink(w, "lblVERSION"); }, true},
                    AboutRow{"DateClickThenClose", [](mainform& w) { clickLink(w, "lblDATE"); }, false},
                    AboutRow{"VersionSpaceThenOK", [](mainform& w) { pressOnLink(w, "lblVERSION", Qt::Key_Space); },
                             true},
                    AboutRow{"DateReturnThenOK", [](mainform& w) { pressOnLink(w, "lblDATE", Qt::Key_Return); }, true}),
    RowName{});

// Every function can be reached with Tab alone, in reading order, and each
// control says what it is to a screen reader.
TEST_F(LegendTest, TabVisitsEveryControlInOrderAndEachTellsItsRole)
{
    struct Stop {
        const char* name;
        QAccessible::Role role;
    };
    const std::vector<Stop> expected{{"picDRIVE", QAccessible::Chart},    {"Drive1", QAccessible::ComboBox},
                                     {"lblUSEDLEG", QAccessible::Button}, {"lblFREELEG", QAccessible::Button},
                                     {"lblVERSION", QAccessible::Link},   {"lblDATE", QAccessible::Link},
                                     {"picDRIVE", QAccessible::Chart}};
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    for (const Stop& stop : expected) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        EXPECT_EQ(focused->objectName(), QLatin1StringView(stop.name));
        EXPECT_EQ(QAccessible::queryAccessibleInterface(focused)->role(), stop.role) << stop.name;
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(window->findChild<QWidget*>("Drive1"));
    EXPECT_EQ(list->text(QAccessible::Name), QStringLiteral("Drive"));
    EXPECT_EQ(list->text(QAccessible::Value), QStringLiteral("/ [/dev/sda2]"));
}

// What a screen reader walks through, depth first: each thing once, in its
// role; the captions are heard with their figures only.
TEST_F(LegendTest, ScreenReadersHearEachThingOnceInItsRole)
{
    using Heard = std::pair<QAccessible::Role, QString>;
    const std::vector<Heard> expected{{QAccessible::Window, "Disk Usage: / [/dev/sda2]"},
                                      {QAccessible::Grouping, ""},
                                      {QAccessible::ComboBox, "Drive"},
                                      {QAccessible::List, ""},
                                      {QAccessible::ListItem, "/ [/dev/sda2]"},
                                      {QAccessible::ListItem, "/media/usb [BACKUP]"},
                                      {QAccessible::Button, "Used colour"},
                                      {QAccessible::Button, "Free colour"},
                                      {QAccessible::Link, "Version 4.6.9b"},
                                      {QAccessible::Link, "3/14/2012"},
                                      {QAccessible::StaticText, "Free: 250,000 bytes"},
                                      {QAccessible::StaticText, "Used: 750,000 bytes"},
                                      {QAccessible::StaticText, "Capacity: 1,000,000 bytes"},
                                      {QAccessible::Chart, "Usage chart"}};
    std::vector<Heard> heard;
    const std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        heard.emplace_back(node->role(), node->text(QAccessible::Name));
        for (int index = 0; index < node->childCount(); ++index)
            walk(node->child(index));
    };
    walk(QAccessible::queryAccessibleInterface(window.get()));
    EXPECT_EQ(heard, expected);
    QAccessibleInterface* chart = QAccessible::queryAccessibleInterface(window->findChild<QWidget*>("picDRIVE"));
    EXPECT_EQ(chart->text(QAccessible::Description), QStringLiteral("75.0 % used"));
}

// The focus reaches a control by the keyboard: Shift+Tab away, Tab back.
void tabBackTo(QWidget* control)
{
    control->setFocus();
    QTest::keyClick(control, Qt::Key_Backtab, Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_TRUE(control->hasFocus());
}

// The chart box has the focus from the start, unmarked until the keyboard
// moves the focus; then it is marked like every other control.
TEST_F(LegendTest, TheFocusIsMarkedOnceTheKeyboardMovesIt)
{
    auto* box = window->findChild<QWidget*>(QStringLiteral("picDRIVE"));
    ASSERT_TRUE(box->hasFocus());
    const QColor face = box->palette().color(QPalette::Button);
    EXPECT_EQ(box->grab().toImage().pixelColor(0, 0), face);
    tabBackTo(box);
    EXPECT_NE(box->grab().toImage().pixelColor(0, 0), face);
}

// A focused swatch shows a mark that stands out at least 3 : 1 both from the
// frame around it (its outermost pixels) and from its own colour (the pixels
// the mark meets inside), whatever the colour, the background's too.
class FocusMarkTest : public LegendTest, public testing::WithParamInterface<QColor> {};

TEST_P(FocusMarkTest, StandsOutFromTheSwatchAndTheFrame)
{
    LegendSwatch* used = swatch(Share::Used);
    used->setBackColor(ColorValue::fromQColor(GetParam()));
    tabBackTo(used);
    const QImage shown = used->grab().toImage();
    const QColor frame = used->parentWidget()->palette().color(QPalette::Window);
    const int middle = shown.height() / 2;
    // The outermost pixel and the innermost one of the mark, at mid-height.
    int inner = 0;
    while (inner + 1 < shown.width() / 2 && shown.pixelColor(inner + 1, middle) != GetParam())
        ++inner;
    EXPECT_GE(contrast(shown.pixelColor(0, middle), frame), 3.0);
    EXPECT_GE(contrast(shown.pixelColor(inner, middle), GetParam()), 3.0);
}

INSTANTIATE_TEST_SUITE_P(SwatchColours, FocusMarkTest,
                         testing::Values(QColor(Qt::black), QColor(Qt::white), QColor(201, 114, 116),
                                         QColor(0x30, 0x30, 0x30), QColor(0xEF, 0xEF, 0xEF)));

// The links take the palette's link colour, made readable where a dark scheme
// leaves it too dark on the window.
struct LinkColourRow {
    std::string name;
    QColor window;
    QColor link;
    QColor shown;
};
void PrintTo(const LinkColourRow& row, std::ostream* out)
{
    *out << row.name;
}

class LinkColourTest : public LegendTest, public testing::WithParamInterface<LinkColourRow> {};

TEST_P(LinkColourTest, FollowsThePaletteAndStaysReadable)
{
    const LinkColourRow& row = GetParam();
    QPalette scheme = window->palette();
    scheme.setColor(QPalette::Window, row.window);
    scheme.setColor(QPalette::Link, row.link);
    window->setPalette(scheme);
    for (const char* name : {"lblVERSION", "lblDATE"})
        EXPECT_EQ(window->findChild<LinkLabel*>(QLatin1StringView(name))->palette().color(QPalette::WindowText),
                  row.shown)
            << name;
}

INSTANTIATE_TEST_SUITE_P(Rows, LinkColourTest,
                         testing::Values(LinkColourRow{"LightScheme", QColor(0xef, 0xef, 0xef), QColor(0, 0, 255),
                                                       QColor(0, 0, 255)},
                                         LinkColourRow{"DarkSchemeWithItsOwnLinkColour", QColor(0x2a, 0x2a, 0x2a),
                                                       QColor(0x3d, 0xae, 0xe9), QColor(0x3d, 0xae, 0xe9)},
                                         LinkColourRow{"DarkSchemeLeftWithBlueLinks", QColor(0x2a, 0x2a, 0x2a),
                                                       QColor(0, 0, 255), QColor(0x8a, 0xb4, 0xf8)},
                                         LinkColourRow{"LightSchemeWithPaleLinks", QColor(0xff, 0xff, 0xff),
                                                       QColor(0xa0, 0xc0, 0xff), QColor(0, 0, 255)},
                                         // Neither blue reads on a middle grey: black does.
                                         LinkColourRow{"MiddleGreyWhereNoBlueReads", QColor(0x77, 0x77, 0x77),
                                                       QColor(0, 0, 255), QColor(0, 0, 0)}),
                         RowName{});

} // namespace
