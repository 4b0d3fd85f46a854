#include "app/mainform.h"

#include "AppInfo.h"
#include "app/AutoSizeLabel.h"
#include "app/ClassicFont.h"
#include "app/FittedFont.h"
#include "app/LegendSwatch.h"
#include "app/LinkLabel.h"
#include "app/MainWindowBehaviour.h"
#include "app/TextConversion.h"
#include "app/frmABOUT.h"
#include "app/qt/ChartView.h"
#include "resources/Resources.h"
#include "settings/SettingKeys.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTimer>

namespace {

// The drive query: a test's own, a test's plain query answering at once, or
// the system's with its wait and deadline.
AskDriveSpace driveSpaceAsker(const mainform::Seams& seams)
{
    if (seams.askDriveSpace)
        return seams.askDriveSpace;
    if (seams.queryDriveSpace)
        return [query = seams.queryDriveSpace](Currency& capacity, Currency& free, const std::string& rootPath,
                                               std::chrono::milliseconds, const LateAnswer&) {
            query(capacity, free, rootPath);
            return true;
        };
    return platformDriveSpaceAsker();
}

} // namespace

mainform::mainform(Seams seams)
    : m_seams(std::move(seams)), m_twips(logicalDpiY()), m_settings(std::make_unique<SettingsStore>(AppInfo::Title)),
      m_behaviour(std::make_unique<MainWindowBehaviour>(*this, *m_settings, driveSpaceAsker(m_seams)))
{
    createControls();
    connectEvents();
    m_behaviour->Form_Load();
}

// The controls' signals go no further once the window starts to go.
mainform::~mainform()
{
    for (QObject* child : findChildren<QObject*>())
        QObject::disconnect(child, nullptr, this, nullptr);
}

QString mainform::AppDate()
{
    return toQString(AppInfo::AppDate);
}

QString mainform::VersionMod()
{
    return toQString(AppInfo::VersionMod);
}

// The window as designed: a titleless frame with the figures, the swatches, the
// drive list and the links across the top, the chart box centred below it.
void mainform::createControls()
{
    setObjectName(QStringLiteral("mainform"));
    setWindowTitle(QStringLiteral("Form1"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(Resources::AppIcon());
    setFont(layoutFont());
    setFixedSize(m_twips.toPixels(4815), m_twips.toPixels(5655));

    CommonDialog = new CommonDialogControl(this, m_seams.chooseColor);

    picDRIVE = new ChartView(this);
    picDRIVE->setObjectName(QStringLiteral("picDRIVE"));
    picDRIVE->setGeometry(m_twips.rect(480, 1680, 3855, 3855));
    picDRIVE->setAccessibleName(tr("Usage chart"));

    fra = new QGroupBox(this);
    fra->setObjectName(QStringLiteral("fra"));
    fra->setGeometry(m_twips.rect(60, 60, 4695, 1515));

    Drive1 =
        new DriveListBox(fra, m_seams.listDrives ? m_seams.listDrives : DriveListBox::Lister(DriveList::ListDrives));
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->setGeometry(m_twips.rect(2340, 360, 2175, 315));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);

    m_answerDeadline = new QTimer(this);
    m_answerDeadline->setSingleShot(true);
    m_answerDeadline->setTimerType(Qt::PreciseTimer);

    createLinks();
    createLegend();
    createFigures();

    // Every function can be reached with the keyboard: the chart box first, then
    // the drive list, the two swatches and the two links.
    const std::array<QWidget*, 6> tabOrder{picDRIVE, Drive1, lblUSEDLEG, lblFREELEG, lblVERSION, lblDATE};
    for (std::size_t next = 1; next < tabOrder.size(); ++next)
        setTabOrder(tabOrder[next - 1], tabOrder[next]);
    picDRIVE->setFocus();

    Timer1->start();
}

// The classic font, smaller where the face at hand is too wide for the frame:
// the captions grow leftwards from their right edge up to the frame's border,
// the figures leftwards up to their captions.
QFont mainform::layoutFont() const
{
    constexpr int CaptionsRight = 735; // in the frame, twips
    constexpr int FiguresRight = 2175;
    constexpr int FrameBorder = 1; // pixels
    constexpr int FigureGap = 3;
    return fittedFont(classicFont(), {{QStringLiteral("Capacity:"), m_twips.toPixels(CaptionsRight) - FrameBorder},
                                      {QStringLiteral("000,000,000,000"),
                                       m_twips.toPixels(FiguresRight - CaptionsRight) - FigureGap}});
}

void mainform::createLinks()
{
    lblDATE = new LinkLabel(QStringLiteral("6\\21\\98"), m_twips.rect(3975, 1200, 600, 195), fra);
    lblDATE->setObjectName(QStringLiteral("lblDATE"));
    lblDATE->setAccessibleDescription(tr("Release date; opens the About dialog"));

    lblVERSION = new LinkLabel(QStringLiteral("Version 0.1"), m_twips.rect(3780, 960, 795, 195), fra);
    lblVERSION->setObjectName(QStringLiteral("lblVERSION"));
    lblVERSION->setAccessibleDescription(tr("Program version; opens the About dialog"));
}

void mainform::createLegend()
{
    lblUSEDLEG = new LegendSwatch(SettingKeys::DefaultUsedColor, m_twips.rect(60, 360, 195, 195), fra);
    lblUSEDLEG->setObjectName(QStringLiteral("lblUSEDLEG"));
    lblUSEDLEG->setAccessibleName(tr("Used colour"));
    lblUSEDLEG->setAccessibleDescription(
        tr("Chooses the colour of the used share; with Shift, restores the default colour"));

    lblFREELEG = new LegendSwatch(SettingKeys::DefaultFreeColor, m_twips.rect(60, 720, 195, 195), fra);
    lblFREELEG->setObjectName(QStringLiteral("lblFREELEG"));
    lblFREELEG->setAccessibleName(tr("Free colour"));
    lblFREELEG->setAccessibleDescription(
        tr("Chooses the colour of the free share; with Shift, restores the default colour"));
}

void mainform::createFigures()
{
    // The captions end where designed; they size themselves to their text, so
    // that a face wider than the one they were fitted to still shows them whole.
    auto* freeCaption = new AutoSizeLabel(QStringLiteral("Free:"), m_twips.rect(300, 720, 435, 195), fra);
    auto* usedCaption = new AutoSizeLabel(QStringLiteral("Used:"), m_twips.rect(300, 360, 435, 195), fra);
    auto* capacityCaption = new AutoSizeLabel(QStringLiteral("Capacity:"), m_twips.rect(75, 1080, 660, 195), fra);
    m_lbl = {freeCaption, usedCaption, capacityCaption};
    for (int index = 4; index <= 6; ++index)
        lbl(index)->setObjectName(QStringLiteral("lbl(%1)").arg(index));

    const QString placeholder = QStringLiteral("000,000,000,000");
    lblFREE = new AutoSizeLabel(placeholder, m_twips.rect(720, 720, 1455, 195), fra);
    lblFREE->setObjectName(QStringLiteral("lblFREE"));
    lblUSED = new AutoSizeLabel(placeholder, m_twips.rect(720, 360, 1455, 195), fra);
    lblUSED->setObjectName(QStringLiteral("lblUSED"));
    lblTOTAL = new AutoSizeLabel(placeholder, m_twips.rect(720, 1080, 1455, 195), fra);
    lblTOTAL->setObjectName(QStringLiteral("lblTOTAL"));
}

// Each event goes to its handler in the behaviour.
void mainform::connectEvents()
{
    MainWindowBehaviour& behaviour = *m_behaviour;
    connect(Drive1, &DriveListBox::Change, this, [this, &behaviour] {
        if (!m_settingDrive)
            behaviour.Drive1_Change();
    });
    connect(Timer1, &QTimer::timeout, this, [&behaviour] { behaviour.Timer1_Timer(); });
    connect(m_answerDeadline, &QTimer::timeout, this, [&behaviour] { behaviour.answerDeadline_Timer(); });
    connect(lblUSEDLEG, &LegendSwatch::MouseUp, this,
            [&behaviour](Qt::MouseButton button, int shift, float x, float y) {
                behaviour.lblUSEDLEG_MouseUp(button, shift, x, y);
            });
    connect(lblFREELEG, &LegendSwatch::MouseUp, this,
            [&behaviour](Qt::MouseButton button, int shift, float x, float y) {
                behaviour.lblFREELEG_MouseUp(button, shift, x, y);
            });
    connect(lblDATE, &LinkLabel::Click, this, [&behaviour] { behaviour.lblDATE_Click(); });
    connect(lblVERSION, &LinkLabel::Click, this, [&behaviour] { behaviour.lblVERSION_Click(); });
    // A box of a new size needs its chart planned again. Later, not from within
    // the resize that found it.
    connect(
        picDRIVE, &ChartView::Resized, this, [&behaviour] { behaviour.ChartBoxResized(); }, Qt::QueuedConnection);
}

// The outer frame's size. Before the window is first shown the window manager
// has not yet told its frame, and the style's title bar stands in for it.
QSize mainform::expectedFrameSize() const
{
    const QRect frame = frameGeometry();
    if (frame != geometry())
        return frame.size();
    return size() + QSize(0, style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this));
}

void mainform::setText(Text which, const std::string& text)
{
    const QString qtext = toQString(text);
    switch (which) {
    case Text::Caption:
        setWindowTitle(qtext);
        break;
    case Text::Version:
        lblVERSION->setCaption(qtext);
        break;
    case Text::Date:
        lblDATE->setCaption(qtext);
        break;
    case Text::Free:
        lblFREE->setCaption(qtext);
        break;
    case Text::Used:
        lblUSED->setCaption(qtext);
        break;
    case Text::Total:
        lblTOTAL->setCaption(qtext);
        break;
    case Text::FreeDescription:
        lblFREE->setToolTip(qtext);
        break;
    case Text::UsedDescription:
        lblUSED->setToolTip(qtext);
        break;
    case Text::TotalDescription:
        lblTOTAL->setToolTip(qtext);
        break;
    // A label's own text does not reach screen readers: its name carries the
    // caption with the figure.
    case Text::FreeAccessibleName:
        lblFREE->setAccessibleName(qtext);
        break;
    case Text::UsedAccessibleName:
        lblUSED->setAccessibleName(qtext);
        break;
    case Text::TotalAccessibleName:
        lblTOTAL->setAccessibleName(qtext);
        break;
    case Text::ChartDescription:
        picDRIVE->setAccessibleDescription(qtext);
        break;
    }
}

void mainform::setSwatchColor(Swatch which, std::int32_t color)
{
    (which == Swatch::Used ? lblUSEDLEG : lblFREELEG)->setBackColor(color);
}

void mainform::showChart(const std::optional<ChartPicture>& picture)
{
    picDRIVE->setPicture(picture);
}

void mainform::setTimerEnabled(bool enabled)
{
    if (!enabled)
        Timer1->stop();
    else if (!Timer1->isActive())
        Timer1->start();
}

WindowPlacement::Rect mainform::frame() const
{
    const QPoint corner = frameGeometry().topLeft();
    const QSize size = expectedFrameSize();
    return {corner.x(), corner.y(), size.width(), size.height()};
}

std::vector<WindowPlacement::Rect> mainform::availableAreas() const
{
    std::vector<WindowPlacement::Rect> areas;
    const QScreen* primary = QGuiApplication::primaryScreen();
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        areas.insert(screen == primary ? areas.begin() : areas.end(),
                     {area.x(), area.y(), area.width(), area.height()});
    }
    return areas;
}

double mainform::twipsPerPixel() const
{
    return m_twips.perPixel();
}

void mainform::moveTo(int left, int top)
{
    move(left, top);
}

UsageChart::ChartRect mainform::chartBox() const
{
    return {0, 0, picDRIVE->width(), picDRIVE->height()};
}

std::optional<DriveList::DriveEntry> mainform::currentDrive() const
{
    return Drive1->currentDrive();
}

bool mainform::setDrive(const std::string& rootPath)
{
    m_settingDrive = true;
    const bool found = Drive1->setDrive(rootPath);
    m_settingDrive = false;
    return found;
}

std::optional<std::int32_t> mainform::askColor(std::int32_t start)
{
    try {
        CommonDialog->setFlags(CommonDialogControl::RgbInit | CommonDialogControl::FullOpen);
        CommonDialog->setColor(start);
        CommonDialog->ShowColor();
        return CommonDialog->Color();
    } catch (...) {
        // A colour dialog that failed changes nothing; nothing is worth ending
        // the program for.
        return std::nullopt;
    }
}

// The About dialog opens over the window's top-left corner, modal to it, built
// afresh each time; its close button destroys it, OK only hides it.
void mainform::openAbout()
{
    QPointer<frmABOUT> about = new frmABOUT(this, AppDate(), VersionMod());
    about->move(frameGeometry().topLeft());
    about->exec();
    delete about.data();
}

void mainform::processWaitingEvents()
{
    QCoreApplication::processEvents();
}

MainWindowView::Poster mainform::poster()
{
    return m_post.poster();
}

void mainform::setAnswerDeadline(std::optional<std::chrono::milliseconds> after)
{
    if (after)
        m_answerDeadline->start(*after);
    else
        m_answerDeadline->stop();
}

// A store that cannot be written says so on standard error; the window closes
// all the same.
void mainform::closeEvent(QCloseEvent* event)
{
    (void)m_behaviour->Form_QueryUnload();
    event->accept();
}
