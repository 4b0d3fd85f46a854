#include "app/frmABOUT.h"

#include "app/ClassicFont.h"
#include "app/TextConversion.h"
#include "app/Twips.h"
#include "resources/Resources.h"

#include "AppInfo.h"

#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {

// Client area in twips: 297 x 175 pixels.
constexpr int ClientWidth = 4455;
constexpr int ClientHeight = 2625;

constexpr double TitlePointSize = 13.5;

// Between the version suffix and the release date.
constexpr QLatin1StringView DateGap{"     "};

// A left-aligned, borderless one-line label that keeps its design size.
QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1StringView(name));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(geometry);
    return label;
}

} // namespace

frmABOUT::frmABOUT(QWidget* owner, const QString& appDate, const QString& versionMod)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::CustomizeWindowHint),
      m_appDate(appDate), m_versionMod(versionMod)
{
    setObjectName(QStringLiteral("frmABOUT"));
    setWindowTitle(QStringLiteral("About"));
    // No icon in the title bar: an empty QIcon would fall back to the
    // application's icon, a transparent one shows nothing.
    QPixmap noIcon(16, 16);
    noIcon.fill(Qt::transparent);
    setWindowIcon(QIcon(noIcon));

    setFont(classicFont());
    const Twips twips(logicalDpiY());

    // Created in tab order (lblTitle, cmdOK, lblVersion, lblDescription,
    // lblDisclaimer, Picture1), which is the dialog's focus chain. Labels take
    // no focus, so the OK button is the first control to receive it.
    lblTitle = makeLabel(this, "lblTitle", QStringLiteral("Aplication Title"), twips.rect(1080, 240, 3195, 360));
    QFont titleFont = classicFont(TitlePointSize);
    titleFont.setWeight(QFont::Normal);
    lblTitle->setFont(titleFont);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twips.rect(1680, 2040, 1215, 375));
    // Neither the default nor the cancel button: Enter acts on it only while it
    // has the focus (keyPressEvent), and Escape does nothing.
    cmdOK->setAutoDefault(false);
    cmdOK->setDefault(false);

    lblVersion = makeLabel(this, "lblVersion", QStringLiteral("Version"), twips.rect(240, 840, 4005, 195));
    lblDescription = makeLabel(this, "lblDescription", QStringLiteral("Desc"), twips.rect(240, 1200, 3975, 195));
    lblDisclaimer = makeLabel(this, "lblDisclaimer", QStringLiteral("legal"), twips.rect(240, 1560, 4050, 195));

    // The icon box sizes itself to its picture, the 32 x 32 application icon,
    // and is a tab stop after the OK button.
    const QPixmap icon = Resources::AppIconImage();
    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(icon);
    Picture1->setGeometry(QRect(twips.rect(360, 240, 0, 0).topLeft(), icon.deviceIndependentSize().toSize()));
    Picture1->setFocusPolicy(Qt::StrongFocus);
    Picture1->setAccessibleName(tr("%1 icon").arg(toQString(AppInfo::Title)));

    cmdOK->setFocus(Qt::OtherFocusReason);

    setFixedSize(twips.toPixels(ClientWidth), twips.toPixels(ClientHeight));

    connect(cmdOK, &QPushButton::clicked, this, &frmABOUT::cmdOK_Click);

    Form_Load();
}

void frmABOUT::Form_Load()
{
    setWindowTitle(QStringLiteral("About ") + toQString(AppInfo::Title));
    lblTitle->setText(toQString(AppInfo::Title));
    lblVersion->setText(
        QStringLiteral("Version %1.%2.%3").arg(AppInfo::Major).arg(AppInfo::Minor).arg(AppInfo::Revision) +
        m_versionMod + DateGap + m_appDate);
    lblDescription->setText(toQString(AppInfo::Comments));
    lblDisclaimer->setText(toQString(AppInfo::LegalCopyright));
}

// Hiding ends the modal showing; the opener then deletes the dialog.
void frmABOUT::cmdOK_Click()
{
    hide();
}

void frmABOUT::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        // There is no cancel button, so Escape does nothing.
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A focused push button takes Enter only as an auto-default button;
        // OK is not one, yet Enter on it chooses it, as Space does.
        if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
            if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button && button->isEnabled()) {
                button->click();
                event->accept();
                return;
            }
        }
        break;
    default:
        break;
    }
    QDialog::keyPressEvent(event);
}

// The title bar's close button unloads the dialog: it ends the modal showing
// and the dialog deletes itself once control is back in the event loop. An
// opener that deletes it first also removes that pending deletion.
void frmABOUT::closeEvent(QCloseEvent* event)
{
    if (isVisible())
        setAttribute(Qt::WA_DeleteOnClose);
    QDialog::closeEvent(event);
}
