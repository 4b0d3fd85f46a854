#include "app/qt/AboutForm.h"

#include "app/behaviour/AboutTexts.h"
#include "app/qt/ClassicFont.h"
#include "app/qt/FormControls.h"
#include "app/qt/Twips.h"

#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

using FormTable::About;

frmABOUT::frmABOUT(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::CustomizeWindowHint)
{
    setObjectName(QString::fromUtf8(FormTable::aboutForm.name));
    // No icon in the title bar: an empty QIcon would fall back to the
    // application's icon, a transparent one shows nothing.
    QPixmap noIcon(16, 16);
    noIcon.fill(Qt::transparent);
    setWindowIcon(QIcon(noIcon));
    setFont(classicFont());

    // Made in the table's tab order, which is the dialog's focus chain.
    const Twips twips(logicalDpiY());
    for (std::size_t index = 0; index < m_controls.size(); ++index)
        m_controls[index] = createControl(FormTable::aboutControls[index], this, twips);
    auto* cmdOK = control<QPushButton>(About::cmdOK);
    // Neither the default nor the cancel button: Enter acts on it only while it
    // has the focus (keyPressEvent), and Escape does nothing.
    cmdOK->setAutoDefault(false);
    cmdOK->setFocus(Qt::OtherFocusReason);
    setFixedSize(twips.toPixels(FormTable::aboutForm.clientWidth), twips.toPixels(FormTable::aboutForm.clientHeight));
    connect(cmdOK, &QPushButton::clicked, this, &frmABOUT::cmdOK_Click);

    Form_Load();
}

void frmABOUT::Form_Load()
{
    const AboutTexts::Dialog texts = AboutTexts::AboutDialog();
    setWindowTitle(QString::fromUtf8(texts.caption));
    control<QLabel>(About::lblTitle)->setText(QString::fromUtf8(texts.title));
    control<QLabel>(About::lblVersion)->setText(QString::fromUtf8(texts.version));
    control<QLabel>(About::lblDescription)->setText(QString::fromUtf8(texts.description));
    control<QLabel>(About::lblDisclaimer)->setText(QString::fromUtf8(texts.legal));
    control<QWidget>(About::Picture1)->setAccessibleName(QString::fromUtf8(texts.iconName));
}

// Hiding ends the modal showing; the opener then deletes the dialog.
void frmABOUT::cmdOK_Click()
{
    hide();
}

// Escape does nothing: there is no cancel button. A focused push button takes Enter
// only as an auto-default button, which OK is not; Enter chooses it, as Space does.
void frmABOUT::keyPressEvent(QKeyEvent* event)
{
    const bool enter = (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
                       (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier);
    auto* button = qobject_cast<QPushButton*>(focusWidget());
    if (enter && button)
        button->click();
    else if (event->key() != Qt::Key_Escape)
        QDialog::keyPressEvent(event);
}

// The title bar's close button unloads the dialog: the modal showing ends and it
// deletes itself back in the event loop (an opener deleting it first cancels that).
void frmABOUT::closeEvent(QCloseEvent* event)
{
    if (isVisible())
        setAttribute(Qt::WA_DeleteOnClose);
    QDialog::closeEvent(event);
}
