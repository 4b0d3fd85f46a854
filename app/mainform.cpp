#include "app/mainform.h"

#include "AppInfo.h"
#include "app/AutoSizeLabel.h"
#include "app/ClassicFont.h"
#include "app/KeepOnScreen.h"
#include "app/LegendSwatch.h"
#include "app/LinkLabel.h"
#include "app/PictureBox.h"
#include "app/TextConversion.h"
#include "app/Twips.h"
#include "app/frmABOUT.h"
#include "chart/DrawUsageChart.h"
#include "drivespace/ByteUnits.h"
#include "drivespace/GetDiskSpace.h"
#include "resources/Resources.h"
#include "settings/SettingKeys.h"
#include "settings/SettingsStore.h"
#include "settings/StoredText.h"
#include "settings/WindowPlacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

// Where the window's outer top-left corner stands before any setting moves it,
// in twips.
constexpr int DesignedLeft = 2265;
constexpr int DesignedTop = 4740;

// A refresh holds the window at most this long for its drive's answer; a later
// answer finishes the refresh when it comes, up to the deadline.
constexpr auto QuickAnswerWait = std::chrono::milliseconds(50);
constexpr auto AnswerDeadline = std::chrono::milliseconds(1000);

} // namespace

mainform::mainform(Seams seams) : m_seams(std::move(seams))
{
    if (m_seams.askDriveSpace)
        m_askDriveSpace = m_seams.askDriveSpace;
    else if (m_seams.queryDriveSpace)
        m_askDriveSpace = [query = m_seams.queryDriveSpace](Currency& capacity, Currency& free,
                                                            const std::string& rootPath, std::chrono::milliseconds,
                                                            const LateAnswer&) {
            query(capacity, free, rootPath);
            return true;
        };
    else
        m_askDriveSpace = platformDriveSpaceAsker();
    m_twips = Twips(logicalDpiY());
    createControls();
    Form_Load();
}

mainform::~mainform() = default;

QString mainform::AppDate()
{
    return toQString(AppInfo::AppDate);
}

QString mainform::VersionMod()
{
    return toQString(AppInfo::VersionMod);
}

float mainform::Left() const
{
    return static_cast<float>(frameGeometry().x() * m_twips.perPixel());
}

float mainform::Top() const
{
    return static_cast<float>(frameGeometry().y() * m_twips.perPixel());
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
    setFont(classicFont());
    setFixedSize(m_twips.toPixels(4815), m_twips.toPixels(5655));
    moveToDesignedPosition();

    CommonDialog = new CommonDialogControl(this, m_seams.chooseColor);

    picDRIVE = new PictureBox(this);
    picDRIVE->setObjectName(QStringLiteral("picDRIVE"));
    picDRIVE->setGeometry(m_twips.rect(480, 1680, 3855, 3855));
    picDRIVE->setFillColor(0x00FF0000);
    picDRIVE->setFocusPolicy(Qt::StrongFocus);
    picDRIVE->setAccessibleName(tr("Usage chart"));

    fra = new QGroupBox(this);
    fra->setObjectName(QStringLiteral("fra"));
    fra->setGeometry(m_twips.rect(60, 60, 4695, 1515));

    Drive1 =
        new DriveListBox(fra, m_seams.listDrives ? m_seams.listDrives : DriveListBox::Lister(DriveList::ListDrives));
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->setGeometry(m_twips.rect(2340, 360, 2175, 315));
    connect(Drive1, &DriveListBox::Change, this, &mainform::Drive1_Change);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &mainform::Timer1_Timer);

    m_answerDeadline = new QTimer(this);
    m_answerDeadline->setSingleShot(true);
    m_answerDeadline->setTimerType(Qt::PreciseTimer);
    connect(m_answerDeadline, &QTimer::timeout, this, &mainform::answerDeadline_Timer);

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

void mainform::createLinks()
{
    lblDATE = new LinkLabel(QStringLiteral("6\\21\\98"), m_twips.rect(3975, 1200, 600, 195), fra);
    lblDATE->setObjectName(QStringLiteral("lblDATE"));
    lblDATE->setAccessibleDescription(tr("Release date; opens the About dialog"));
    connect(lblDATE, &LinkLabel::Click, this, &mainform::lblDATE_Click);

    lblVERSION = new LinkLabel(QStringLiteral("Version 0.1"), m_twips.rect(3780, 960, 795, 195), fra);
    lblVERSION->setObjectName(QStringLiteral("lblVERSION"));
    lblVERSION->setAccessibleDescription(tr("Program version; opens the About dialog"));
    connect(lblVERSION, &LinkLabel::Click, this, &mainform::lblVERSION_Click);
}

void mainform::createLegend()
{
    lblUSEDLEG = new LegendSwatch(SettingKeys::DefaultUsedColor, m_twips.rect(60, 360, 195, 195), fra);
    lblUSEDLEG->setObjectName(QStringLiteral("lblUSEDLEG"));
    lblUSEDLEG->setAccessibleName(tr("Used colour"));
    lblUSEDLEG->setAccessibleDescription(
        tr("Chooses the colour of the used share; with Shift, restores the default colour"));
    connect(lblUSEDLEG, &LegendSwatch::MouseUp, this, &mainform::lblUSEDLEG_MouseUp);

    lblFREELEG = new LegendSwatch(SettingKeys::DefaultFreeColor, m_twips.rect(60, 720, 195, 195), fra);
    lblFREELEG->setObjectName(QStringLiteral("lblFREELEG"));
    lblFREELEG->setAccessibleName(tr("Free colour"));
    lblFREELEG->setAccessibleDescription(
        tr("Chooses the colour of the free share; with Shift, restores the default colour"));
    connect(lblFREELEG, &LegendSwatch::MouseUp, this, &mainform::lblFREELEG_MouseUp);
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

// The designed place, moved inward as little as needed to bring the whole
// window onto the available area of the screen it falls on: a small or scaled
// screen would otherwise open it partly below the bottom edge.
void mainform::moveToDesignedPosition()
{
    const QPoint designed(m_twips.toPixels(DesignedLeft), m_twips.toPixels(DesignedTop));
    const QScreen* screen = QGuiApplication::screenAt(designed);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen) {
        move(designed);
        return;
    }
    move(keepOnScreen(QRect(designed, expectedFrameSize()), screen->availableGeometry()));
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

void mainform::Form_Load()
{
    lblVERSION->setCaption(QStringLiteral("Version ") + toQString(AppInfo::VersionNumber));
    lblDATE->setCaption(AppDate());

    ChartLeft = 0;
    ChartTop = 0;
    picDRIVE->setScaleMode(3);
    // Half a pixel goes to the even neighbour.
    ChartRight = static_cast<std::int32_t>(std::nearbyint(picDRIVE->ScaleWidth()));
    ChartBottom = static_cast<std::int32_t>(std::nearbyint(picDRIVE->ScaleHeight()));

    Pi = static_cast<float>(4.0 * std::atan(1.0));

    const SettingsStore store(AppInfo::Title);
    DrivePath = store.GetSetting(SettingKeys::Section, SettingKeys::Drive, SettingKeys::DefaultDrive);

    // The top is restored before the left. A position the window system cannot
    // take, or one that would leave too little of the title bar on any screen to
    // grab (a monitor unplugged since), keeps the window where it is. The whole
    // position is tried first: on a screen diagonal to the designed place,
    // neither the stored top nor the stored left alone would put the window on
    // any screen.
    const float top = storedPosition(store, SettingKeys::Y, Top());
    const float left = storedPosition(store, SettingKeys::X, Left());
    if (!moveTo(left, top)) {
        (void)moveTo(Left(), top);
        (void)moveTo(left, Top());
    }

    UsedColor = storedColor(store, SettingKeys::UsedColor, SettingKeys::DefaultUsedColor);
    FreeColor = storedColor(store, SettingKeys::FreeColor, SettingKeys::DefaultFreeColor);
    lblUSEDLEG->setBackColor(UsedColor);
    lblFREELEG->setBackColor(FreeColor);

    // From here on a step that fails is passed over: a stored drive that has gone
    // away leaves the list on the drive it had.
    (void)Drive1->setDrive(DrivePath);
    SelectDrive();
    RefreshDisplay();
    QCoreApplication::processEvents();
}

float mainform::storedPosition(const SettingsStore& store, std::string_view key, float current) const
{
    const auto value =
        StoredText::NumericValue(store.GetSetting(SettingKeys::Section, key, StoredText::SingleText(current)));
    // A text that cannot be read, or a value beyond single precision, keeps the
    // window where it is.
    return (value ? StoredText::ToSingle(*value) : std::nullopt).value_or(current);
}

namespace {

WindowPlacement::Rect placementRect(const QRect& rect)
{
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

std::vector<WindowPlacement::Rect> availableAreas()
{
    std::vector<WindowPlacement::Rect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas.push_back(placementRect(screen->availableGeometry()));
    return areas;
}

} // namespace

bool mainform::moveTo(float leftTwips, float topTwips)
{
    // The window takes whole pixels.
    const double left = std::nearbyint(static_cast<double>(leftTwips) / m_twips.perPixel());
    const double top = std::nearbyint(static_cast<double>(topTwips) / m_twips.perPixel());
    constexpr double limit = 1 << 24; // far beyond any desktop, and safe for int
    if (std::abs(left) > limit || std::abs(top) > limit)
        return false;
    const QRect wanted(QPoint(static_cast<int>(left), static_cast<int>(top)), frameGeometry().size());
    if (!WindowPlacement::TitleBarReachable(placementRect(wanted), availableAreas()))
        return false;
    move(wanted.topLeft());
    return true;
}

std::int32_t mainform::storedColor(const SettingsStore& store, std::string_view key, std::int32_t defaultColor) const
{
    const auto value =
        StoredText::NumericValue(store.GetSetting(SettingKeys::Section, key, std::to_string(defaultColor)));
    // A text that cannot be read, or a value outside 32 bits, keeps the default.
    const auto color = value ? StoredText::NearestInt32(*value) : std::nullopt;
    return color.value_or(defaultColor);
}

void mainform::SelectDrive()
{
#ifdef _WIN32
    const QString driveText = Drive1->Drive().toUpper();
    DrivePath = driveText.left(2).toStdString() + '\\';
#else
    // Paths are case-sensitive here: the mount point and the entry as they stand.
    const QString driveText = Drive1->Drive();
    DrivePath = Drive1->rootPath();
#endif
    setWindowTitle(QStringLiteral("Disk Usage: ") + driveText);
}

void mainform::RefreshDisplay()
{
    // Events already waiting (a tick, a pick, a swatch click) run to their end
    // first; the refresh that finishes last decides what the window shows.
    QCoreApplication::processEvents();

    // This refresh supersedes any other still waiting for its drive's answer.
    const std::uint64_t refresh = ++m_refreshNumber;
    m_answerDeadline->stop();
    const auto asked = std::chrono::steady_clock::now();
    auto lateAnswer = [this, post = m_post.poster(), refresh](Currency capacity, Currency free) {
        post([this, refresh, capacity, free] {
            if (refresh == m_refreshNumber)
                finishRefresh(capacity, free);
        });
    };
    Currency capacity;
    Currency free = Currency::fromStored(0);
    if (m_askDriveSpace(capacity, free, DrivePath, QuickAnswerWait, std::move(lateAnswer))) {
        finishRefresh(capacity, free);
        return;
    }
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - asked);
    m_answerDeadline->start(std::max(AnswerDeadline - waited, std::chrono::milliseconds(0)));
}

// No answer in time: the drive counts as not available, and an answer that
// comes after all is dropped.
void mainform::answerDeadline_Timer()
{
    ++m_refreshNumber;
    finishRefresh(FailureValue, Currency::fromStored(0));
}

// The end of a refresh once its drive has answered, or failed to. When the
// figures, the colours and the chart box are what the window already shows,
// nothing is drawn or set again: an idle drive costs next to nothing.
void mainform::finishRefresh(Currency capacity, Currency free)
{
    m_answerDeadline->stop();
    const bool available = capacity != FailureValue;
    const Shown wanted{capacity,
                       available ? free : Currency::fromStored(0),
                       UsedColor,
                       FreeColor,
                       ChartRight,
                       ChartBottom,
                       picDRIVE->imageKey()};
    if (wanted == m_shown) {
        setTimerEnabled(available);
        return;
    }

    if (available) {
        picDRIVE->Cls();
        DrawUsageChart(
            *picDRIVE, capacity, free,
            UsageChart::ChartStyle{{ChartLeft, ChartTop, ChartRight, ChartBottom}, UsedColor, FreeColor, Pi});
        showFigure(lblFREE, lbl(4), toQString(GetDiskSpace::FormatByteCount(free)), true);
        showFigure(lblUSED, lbl(5), toQString(GetDiskSpace::FormatByteCount(capacity - free)), true);
        showFigure(lblTOTAL, lbl(6), toQString(GetDiskSpace::FormatByteCount(capacity)), true);
        setTimerEnabled(true);
        describeFigures(capacity, free);
    } else {
        showFigure(lblFREE, lbl(4), QString(), false);
        showFigure(lblUSED, lbl(5), QString(), false);
        showFigure(lblTOTAL, lbl(6), QStringLiteral("Not Available  "), false);
        setTimerEnabled(false);
        picDRIVE->Cls();
        describeFigures(FailureValue, FailureValue);
    }
    m_shown = wanted;
    m_shown->chartImage = picDRIVE->imageKey();
}

// Shows a figure and tells screen readers its caption with it, since a label's
// own text does not reach them: "Used: 22,527,889,408 bytes", or "Used: Not
// Available" when the drive could not be read.
void mainform::showFigure(AutoSizeLabel* figure, const QLabel* caption, const QString& text, bool available)
{
    figure->setCaption(text);
    const QString name =
        caption->text() + QLatin1Char(' ') + (available ? tr("%1 bytes").arg(text) : tr("Not Available"));
    if (figure->accessibleName() != name)
        figure->setAccessibleName(name);
}

// Tooltips with the figures in binary units and their share of the capacity,
// and the chart's description for screen readers.
void mainform::describeFigures(Currency capacity, Currency free)
{
    if (capacity == FailureValue) {
        for (AutoSizeLabel* figure : {lblFREE, lblUSED, lblTOTAL})
            figure->setToolTip(QString());
        describeChart(tr("Not available"));
        return;
    }
    const auto describe = [capacity](Currency count) {
        const std::string share = ByteUnits::ShareOf(count, capacity);
        return toQString(ByteUnits::BinaryUnits(count) + (share.empty() ? "" : ", " + share));
    };
    const Currency used = capacity - free;
    lblFREE->setToolTip(describe(free));
    lblUSED->setToolTip(describe(used));
    lblTOTAL->setToolTip(describe(capacity));
    const std::string usedShare = ByteUnits::ShareOf(used, capacity);
    describeChart(usedShare.empty() ? tr("Empty drive") : tr("%1 used").arg(toQString(usedShare)));
}

// Screen readers hear of a new description only when the share has changed,
// not at every tick.
void mainform::describeChart(const QString& description)
{
    if (picDRIVE->accessibleDescription() != description)
        picDRIVE->setAccessibleDescription(description);
}

void mainform::setTimerEnabled(bool enabled)
{
    // Enabling a running timer must not restart its second.
    if (!enabled)
        Timer1->stop();
    else if (!Timer1->isActive())
        Timer1->start();
}

void mainform::Drive1_Change()
{
    SelectDrive();
    RefreshDisplay();
}

void mainform::Timer1_Timer()
{
    RefreshDisplay();
}

void mainform::lblUSEDLEG_MouseUp(Qt::MouseButton, int Shift, float, float)
{
    chooseLegendColor(lblUSEDLEG, UsedColor, SettingKeys::DefaultUsedColor, Shift);
}

void mainform::lblFREELEG_MouseUp(Qt::MouseButton, int Shift, float, float)
{
    chooseLegendColor(lblFREELEG, FreeColor, SettingKeys::DefaultFreeColor, Shift);
}

// Shift held: back to the default colour. Otherwise the colour dialog, starting
// at the swatch's colour; Cancel keeps that colour. Either way the swatch and
// the chart show the result at once.
void mainform::chooseLegendColor(LegendSwatch* swatch, std::int32_t& color, std::int32_t defaultColor, int Shift)
{
    try {
        if (Shift & LegendSwatch::ShiftMask) {
            color = defaultColor;
        } else {
            CommonDialog->setFlags(CommonDialogControl::RgbInit | CommonDialogControl::FullOpen);
            CommonDialog->setColor(swatch->BackColor());
            CommonDialog->ShowColor();
            color = CommonDialog->Color();
        }
        swatch->setBackColor(color);
        RefreshDisplay();
    } catch (...) {
        // A colour dialog that failed leaves colour, swatch and chart as they were;
        // nothing is worth ending the program for.
    }
}

void mainform::lblDATE_Click()
{
    openAbout();
}

void mainform::lblVERSION_Click()
{
    openAbout();
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

void mainform::closeEvent(QCloseEvent* event)
{
    Form_QueryUnload();
    event->accept();
}

void mainform::Form_QueryUnload()
{
    SettingsStore store(AppInfo::Title);
    // With no drive listed (no mount table to read) there is no drive to
    // remember: the stored one stays.
    if (!DrivePath.empty())
        store.SaveSetting(SettingKeys::Section, SettingKeys::Drive, DrivePath);
    store.SaveSetting(SettingKeys::Section, SettingKeys::X, StoredText::SingleText(Left()));
    store.SaveSetting(SettingKeys::Section, SettingKeys::Y, StoredText::SingleText(Top()));
    store.SaveSetting(SettingKeys::Section, SettingKeys::UsedColor, std::to_string(UsedColor));
    store.SaveSetting(SettingKeys::Section, SettingKeys::FreeColor, std::to_string(FreeColor));
    // A store that cannot be written says so on standard error; the window
    // closes all the same.
    (void)store.commit();
}
