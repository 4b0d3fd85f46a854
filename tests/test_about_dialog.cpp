#include "app/behaviour/Contrast.h"
#include "app/qt/AboutForm.h"
#include "app/qt/ColorValue.h"
#include "app/qt/Twips.h"
#include "tests/RowName.h"

#include "AppInfo.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <string>

namespace {

double contrast(const QColor& one, const QColor& other)
{
    return Contrast::ratio(ColorValue::fromQColor(one), ColorValue::fromQColor(other));
}

template <class Widget = QWidget> Widget* control(QWidget* dialog, const char* name)
{
    auto* widget = dialog->findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

// Runs the dialog modally, as the main window does, and performs `during` once
// the modal loop is running. A stuck dialog is ended after a few seconds so
// that the test fails instead of hanging.
void execWith(frmABOUT* dialog, const std::function<void()>& during)
{
    QPointer<frmABOUT> guard = dialog;
    QTimer::singleShot(0, dialog, during);
    QTimer rescue;
    rescue.setSingleShot(true);
    QObject::connect(&rescue, &QTimer::timeout, [guard] {
        ADD_FAILURE() << "the modal dialog did not end";
        if (guard)
            guard->done(QDialog::Rejected);
    });
    rescue.start(5000);
    dialog->exec();
}

class AboutDialog : public testing::Test {
protected:
    QWidget owner;
    QPointer<frmABOUT> dialog = new frmABOUT(&owner);

    void TearDown() override
    {
        // The main window's clean-up after the modal showing.
        delete dialog.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

struct TextRow {
    std::string name;
    const char* control;
    std::string expected;
};

class AboutDialogText : public AboutDialog, public testing::WithParamInterface<TextRow> {};

TEST_P(AboutDialogText, ShowsTheTextOfItsLine)
{
    const TextRow& row = GetParam();
    auto* label = control<QLabel>(dialog, row.control);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text().toStdString(), row.expected);
}

INSTANTIATE_TEST_SUITE_P(Lines, AboutDialogText,
                         testing::Values(TextRow{"Title", "lblTitle", "Quillmar"},
                                         TextRow{"VersionWithFiveBlanksBeforeTheDate", "lblVersion",
                                                 "Version 4.6.9b     3/14/2012"},
                                         TextRow{"Description", "lblDescription", "Quillmar Utility Program"},
                                         TextRow{"LegalNotice", "lblDisclaimer", std::string(AppInfo::LegalCopyright)}),
                         RowName());

TEST_F(AboutDialog, CaptionIsAboutAndTheTitle)
{
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("About Quillmar"));
}

// Each control of the form table, at its rectangle; the icon at its corner,
// sized to its picture.
TEST_F(AboutDialog, ControlsStandWhereTheFormTablePutsThem)
{
    const Twips twips(dialog->logicalDpiY());
    for (const FormTable::Control& design : FormTable::aboutControls) {
        QWidget* widget = control(dialog, std::string(design.name).c_str());
        ASSERT_NE(widget, nullptr);
        const QRect expected = twips.rect(design.rect);
        if (design.kind == FormTable::Kind::Icon)
            EXPECT_EQ(widget->geometry().topLeft(), expected.topLeft()) << design.name;
        else
            EXPECT_EQ(widget->geometry(), expected) << design.name;
    }
}

TEST_F(AboutDialog, ClientAreaIsFixedAt297By175)
{
    EXPECT_EQ(dialog->size(), QSize(297, 175));
    EXPECT_EQ(dialog->minimumSize(), QSize(297, 175));
    EXPECT_EQ(dialog->maximumSize(), QSize(297, 175));
}

TEST_F(AboutDialog, FontsAreTheDialogFontAndTheLargeTitle)
{
    EXPECT_DOUBLE_EQ(dialog->font().pointSizeF(), 8.25);
    auto* title = control(dialog, "lblTitle");
    ASSERT_NE(title, nullptr);
    EXPECT_DOUBLE_EQ(title->font().pointSizeF(), 13.5);
    EXPECT_EQ(title->font().weight(), QFont::Normal);
    EXPECT_EQ(title->font().family(), dialog->font().family());
}

TEST_F(AboutDialog, PictureShowsTheApplicationIcon)
{
    auto* picture = control<QLabel>(dialog, "Picture1");
    ASSERT_NE(picture, nullptr);
    // 32 x 32 logical pixels, with as many of the screen's pixels as it has to
    // each: on a scaled screen the large rendering, not the small one blown up.
    const qreal ratio = dialog->devicePixelRatioF();
    EXPECT_EQ(picture->pixmap().deviceIndependentSize(), QSizeF(32, 32));
    const QImage shown = picture->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(shown.size(), QSize(32, 32) * ratio);
    // The icon's centre lies on the edge between the used and the free share,
    // so compare a pixel inside the used wedge with the default used colour.
    EXPECT_EQ(shown.pixel(QPoint(24, 16) * ratio), qRgb(201, 114, 116));
}

TEST_F(AboutDialog, IsAnOwnedDialogWithOnlyACloseButton)
{
    EXPECT_EQ(dialog->parentWidget(), &owner); // owned: no taskbar entry
    const Qt::WindowFlags flags = dialog->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowContextHelpButtonHint));
}

TEST_F(AboutDialog, TitleBarIconIsBlank)
{
    const QIcon icon = dialog->windowIcon();
    ASSERT_FALSE(icon.isNull());
    const QImage image = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(image.isNull());
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            opaque += qAlpha(image.pixel(x, y)) != 0;
    EXPECT_EQ(opaque, 0);
}

TEST_F(AboutDialog, TabOrderFollowsTheDesign)
{
    const char* const order[] = {"lblTitle", "cmdOK", "lblVersion", "lblDescription", "lblDisclaimer", "Picture1"};
    QWidget* widget = control(dialog, order[0]);
    ASSERT_NE(widget, nullptr);
    for (const char* next : order) {
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->objectName().toStdString(), next);
        widget = widget->nextInFocusChain();
    }
}

TEST_F(AboutDialog, OkHasTheFocusWhenShown)
{
    QString focused;
    execWith(dialog, [this, &focused] {
        if (QWidget* widget = dialog->focusWidget())
            focused = widget->objectName();
        dialog->hide();
    });
    EXPECT_EQ(focused, QStringLiteral("cmdOK"));
}

TEST_F(AboutDialog, OkIsNeitherDefaultNorAutoDefault)
{
    auto* ok = control<QPushButton>(dialog, "cmdOK");
    ASSERT_NE(ok, nullptr);
    EXPECT_FALSE(ok->isDefault());
    EXPECT_FALSE(ok->autoDefault());
}

struct KeyRow {
    std::string name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
};

class AboutDialogOkKey : public AboutDialog, public testing::WithParamInterface<KeyRow> {};

TEST_P(AboutDialogOkKey, ChoosesOkWhichHidesTheDialogWithoutDestroyingIt)
{
    const KeyRow& row = GetParam();
    execWith(dialog, [this, &row] {
        QWidget* focused = dialog->focusWidget();
        ASSERT_NE(focused, nullptr);
        QTest::keyClick(focused, row.key, row.modifiers);
    });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(dialog.isNull());
    EXPECT_TRUE(dialog->isHidden());
}

INSTANTIATE_TEST_SUITE_P(Keys, AboutDialogOkKey,
                         testing::Values(KeyRow{"Space", Qt::Key_Space, Qt::NoModifier},
                                         KeyRow{"Return", Qt::Key_Return, Qt::NoModifier},
                                         KeyRow{"KeypadEnter", Qt::Key_Enter, Qt::KeypadModifier}),
                         RowName());

class AboutDialogFocusKey : public AboutDialog, public testing::WithParamInterface<KeyRow> {};

// The strongest contrast to the button's face of the pixels along the middle
// of OK's left edge, inside its frame: where the focus mark's rings lie.
double markContrast(const QImage& button)
{
    const qreal ratio = button.devicePixelRatio();
    const int middle = button.height() / 2;
    const QColor face = button.pixelColor(button.width() - static_cast<int>(8 * ratio), middle);
    double strongest = 1;
    for (int x = static_cast<int>(2 * ratio); x < static_cast<int>(6 * ratio); ++x)
        strongest = std::max(strongest, contrast(button.pixelColor(x, middle), face));
    return strongest;
}

// The keyboard takes the focus over the icon box, the only other control that
// takes it, and back to OK, which then shows the same mark as every control of
// the main window: one that stands out from its face, not the style's faint
// outline. Opened, with the focus set by the dialog, it shows none.
TEST_P(AboutDialogFocusKey, OkShowsAFocusMarkOnceTheKeyboardMovedTheFocus)
{
    const KeyRow& row = GetParam();
    QImage opened;
    QImage tabbed;
    execWith(dialog, [&] {
        auto* ok = control<QPushButton>(dialog, "cmdOK");
        dialog->activateWindow();
        if (QTest::qWaitForWindowActive(dialog) && ok->hasFocus()) {
            opened = ok->grab().toImage();
            QTest::keyClick(ok, row.key, row.modifiers);
            QTest::keyClick(QApplication::focusWidget(), row.key, row.modifiers);
            if (ok->hasFocus())
                tabbed = ok->grab().toImage();
        }
        dialog->hide();
    });
    ASSERT_FALSE(opened.isNull()) << "OK did not have the focus in the active dialog";
    ASSERT_FALSE(tabbed.isNull()) << "the focus did not come back to OK";
    EXPECT_LT(markContrast(opened), 1.5);
    EXPECT_GE(markContrast(tabbed), 4.5);
}

INSTANTIATE_TEST_SUITE_P(Keys, AboutDialogFocusKey,
                         testing::Values(KeyRow{"Tab", Qt::Key_Tab, Qt::NoModifier},
                                         KeyRow{"ShiftTab", Qt::Key_Backtab, Qt::ShiftModifier}),
                         RowName());

TEST_F(AboutDialog, ClickingOkHidesTheDialogWithoutDestroyingIt)
{
    execWith(dialog, [this] { QTest::mouseClick(control(dialog, "cmdOK"), Qt::LeftButton); });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(dialog.isNull());
    EXPECT_TRUE(dialog->isHidden());
}

TEST_F(AboutDialog, EscapeLeavesTheDialogOpen)
{
    bool visibleAfterEscape = false;
    execWith(dialog, [this, &visibleAfterEscape] {
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Escape);
        QCoreApplication::processEvents();
        visibleAfterEscape = dialog->isVisible();
        dialog->hide();
    });
    EXPECT_TRUE(visibleAfterEscape);
}

TEST_F(AboutDialog, CloseButtonEndsTheShowingAndDestroysTheDialog)
{
    execWith(dialog, [this] { dialog->close(); });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
}

// The main window deletes the dialog as soon as the modal showing ends, while
// the deletion the close button asked for may still be pending; the pending
// one must then be dropped, not run on the deleted dialog (a double delete
// that the sanitizer build would catch).
TEST_F(AboutDialog, OpenerMayDeleteAfterTheCloseButton)
{
    execWith(dialog, [this] { dialog->close(); });
    delete dialog.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
}

} // namespace
