#include "app/qt/MainForm.h"

#include "app/behaviour/FittedSize.h"
#include "app/behaviour/MainWindowBehaviour.h"
#include "app/qt/AboutForm.h"
#include "app/qt/AccessibleControls.h"
#include "app/qt/AutoSizeLabel.h"
#include "app/qt/ChartView.h"
#include "app/qt/ClassicFont.h"
#include "app/qt/ColorValue.h"
#include "app/qt/DriveListBox.h"
#include "app/qt/FigureLabel.h"
#include "app/qt/FormControls.h"
#include "app/qt/LegendSwatch.h"
#include "app/qt/LinkLabel.h"
#include "app/qt/Resources.h"

#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QFontMetricsF>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include <functional>

using FormTable::Main;

mainform::mainform(Services services, ColorChooser chooseColor)
    : m_twips(logicalDpiY()), m_behaviour(std::make_unique<MainWindowBehaviour>(*this, *this, std::move(services))),
      m_chooseColor(std::move(chooseColor))
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

// The form table's controls, the frame first as the others in it are its children; the chart box has the focus.
void mainform::createControls()
{
    setObjectName(QString::fromUtf8(FormTable::mainForm.name));
    setWindowTitle(QString::fromUtf8(FormTable::mainForm.caption));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(Resources::AppIcon());
    setFont(layoutFont());
    setFixedSize(m_twips.toPixels(FormTable::mainForm.clientWidth), m_twips.toPixels(FormTable::mainForm.clientHeight));

    QWidget* frame = createControl(FormTable::control(Main::fra), this, m_twips);
    for (std::size_t index = 0; index < m_controls.size(); ++index) {
        const FormTable::Control& design = FormTable::mainControls[index];
        m_controls[index] =
            design.kind == FormTable::Kind::Frame
                ? frame
                : createControl(design, design.in == FormTable::Container::Frame ? frame : this, m_twips);
    }
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    m_answerDeadline = new QTimer(this);
    m_answerDeadline->setSingleShot(true);
    m_answerDeadline->setTimerType(Qt::PreciseTimer);
    // A figure longer than the placeholder grows leftwards up to its caption, and no further.
    for (const Main figure : {Main::lblFREE, Main::lblUSED, Main::lblTOTAL})
        control<FigureLabel>(figure)->setRoom(FittedSize::figureRoom(figure, m_twips.dotsPerInch()));
    control<QWidget>(Main::picDRIVE)->setFocus();
    AccessibleControls::adopt(this);
}

// The classic font, smaller where the face at hand is too wide for the frame.
QFont mainform::layoutFont() const
{
    QFont font = classicFont();
    const auto widthAt = [&font](std::string_view text, double pointSize) {
        QFont candidate = font;
        candidate.setPointSizeF(pointSize);
        return QFontMetricsF(candidate).horizontalAdvance(QString::fromUtf8(text));
    };
    font.setPointSizeF(FittedSize::facePointSize(font.pointSizeF(), m_twips.dotsPerInch(), widthAt));
    return font;
}

void mainform::connectEvents()
{
    MainWindowBehaviour& behaviour = *m_behaviour;
    connect(Timer1, &QTimer::timeout, this, [&behaviour] { behaviour.Timer1_Timer(); });
    connect(m_answerDeadline, &QTimer::timeout, this, [&behaviour] { behaviour.answerDeadline_Timer(); });
    connect(control<LegendSwatch>(Main::lblUSEDLEG), &LegendSwatch::MouseUp, this,
            std::bind_front(&MainWindowBehaviour::lblUSEDLEG_MouseUp, &behaviour));
    connect(control<LegendSwatch>(Main::lblFREELEG), &LegendSwatch::MouseUp, this,
            std::bind_front(&MainWindowBehaviour::lblFREELEG_MouseUp, &behaviour));
    connect(control<LinkLabel>(Main::lblDATE), &LinkLabel::Click, this, [&behaviour] { behaviour.lblDATE_Click(); });
    connect(control<LinkLabel>(Main::lblVERSION), &LinkLabel::Click, this,
            [&behaviour] { behaviour.lblVERSION_Click(); });
    // A box of a new size needs its chart planned again: later, not within the resize.
    connect(
        control<ChartView>(Main::picDRIVE), &ChartView::Resized, this, [&behaviour] { behaviour.ChartBoxResized(); },
        Qt::QueuedConnection);
    auto* list = control<DriveListBox>(Main::Drive1);
    connect(list, &DriveListBox::Opened, this, [&behaviour] { behaviour.Drive1_Opened(); });
    connect(list, &DriveListBox::Picked, this,
            [&behaviour](int index) { behaviour.Drive1_Picked(static_cast<std::size_t>(index)); });
}

// A label's own text does not reach screen readers: its accessible name
// carries the caption with the figure.
void mainform::setText(Text which, const std::string& text)
{
    const QString qtext = QString::fromUtf8(text);
    const TextPlace place = placeOf(which);
    if (!place.control)
        return setWindowTitle(qtext);
    QWidget* target = control<QWidget>(*place.control);
    switch (place.as) {
    case TextPlace::As::Text:
        return static_cast<AutoSizeLabel*>(target)->setCaption(qtext);
    case TextPlace::As::ToolTip:
        return target->setToolTip(qtext);
    case TextPlace::As::AccessibleName:
        return target->setAccessibleName(qtext);
    case TextPlace::As::Description:
        return target->setAccessibleDescription(qtext);
    }
}

void mainform::setSwatchColor(Swatch which, std::int32_t color)
{
    control<LegendSwatch>(which == Swatch::Used ? Main::lblUSEDLEG : Main::lblFREELEG)->setBackColor(color);
}

void mainform::showChart(const std::optional<ChartPicture>& picture)
{
    control<ChartView>(Main::picDRIVE)->setPicture(picture);
}

void mainform::showDrives(const std::vector<std::string>& texts, std::optional<std::size_t> current)
{
    control<DriveListBox>(Main::Drive1)->showDrives(texts, current);
}

// Before the first showing the window manager has not told the frame: the style's title bar stands in.
WindowPlacement::Rect mainform::frame() const
{
    const QRect outer = frameGeometry();
    if (outer != geometry())
        return {outer.x(), outer.y(), outer.width(), outer.height()};
    return {outer.x(), outer.y(), width(), height() + style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this)};
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

UsageChart::ChartRect mainform::chartBox() const
{
    const QSize box = control<QWidget>(Main::picDRIVE)->size();
    return {0, 0, box.width(), box.height()};
}

// Qt's dialog always shows its custom colours and cannot fail; Cancel keeps start.
std::optional<std::int32_t> mainform::askColor(std::int32_t start)
{
    const QColor begin = ColorValue::toQColor(start);
    const QColor chosen = m_chooseColor ? m_chooseColor(begin, this) : QColorDialog::getColor(begin, this);
    return chosen.isValid() ? ColorValue::fromQColor(chosen) : start;
}

// Over the window's top-left corner, modal, built afresh; its close button may destroy it.
void mainform::openAbout()
{
    QPointer<frmABOUT> about = new frmABOUT(this);
    about->move(frameGeometry().topLeft());
    about->exec();
    delete about.data();
}

// A close while a handler runs waits for it to return, ending its modal dialog first as if
// cancelled. A store that cannot be written says so on standard error; the window closes anyway.
void mainform::closeEvent(QCloseEvent* event)
{
    if (!m_behaviour->mayClose()) {
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != this)
            modal->close();
        event->ignore();
        return;
    }
    (void)m_behaviour->Form_QueryUnload();
    event->accept();
}
