#include "app/qt/FigureLabel.h"

#include "app/behaviour/FittedSize.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

FigureLabel::FigureLabel(const QString& caption, const QRect& design, QWidget* parent)
    : AutoSizeLabel(caption, design, parent), m_face(font())
{
    // Every pixel comes from the backdrop and the text.
    setAttribute(Qt::WA_OpaquePaintEvent);
    FigureLabel::fitToText();
}

void FigureLabel::setRoom(int room)
{
    m_room = room;
    fitToText();
}

// The layout's faces draw all digits one width: separators and sign in the same places, the same width.
bool FigureLabel::drawsAsWide(const QString& shown, const QString& next) const
{
    return shown.size() == next.size() && std::equal(shown.begin(), shown.end(), next.begin(), [](QChar a, QChar b) {
               return a == b || (a.isDigit() && b.isDigit());
           });
}

double FigureLabel::fittedPointSize() const
{
    if (m_room <= 0)
        return m_face.pointSizeF();
    const QString shown = text();
    return FittedSize::pointSizeToFit(m_face.pointSizeF(), m_room, [this, &shown](double pointSize) {
        QFont face = m_face;
        face.setPointSizeF(pointSize);
        return QFontMetricsF(face).horizontalAdvance(shown);
    });
}

// A smaller face keeps the row's height, so the figure stays centred; one that fits keeps its usual size.
void FigureLabel::fitToText()
{
    if (m_fitting)
        return;
    m_fitting = true;
    QFont face = m_face;
    face.setPointSizeF(fittedPointSize());
    if (font() != face)
        setFont(face);
    QSize fitted = textSize();
    if (face == m_face)
        m_rowHeight = fitted.height();
    else
        fitted.setHeight(m_rowHeight);
    placeAtRightEdge(fitted);
    m_fitting = false;
}

void FigureLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange && !m_fitting)
        m_face = font();
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        m_backdrop = QPixmap();
    AutoSizeLabel::changeEvent(event);
}

void FigureLabel::paintEvent(QPaintEvent* event)
{
    const QPixmap& under = backdrop();
    {
        QPainter painter(this);
        painter.drawPixmap(m_backdropPlace.topLeft() - pos(), under);
    }
    AutoSizeLabel::paintEvent(event);
}

// What shows behind the figure: the window's background and the frame's painting
// over it, across the whole room, so a figure of another length finds its part
// made. Made again only when the figure leaves it or the window's look changes.
const QPixmap& FigureLabel::backdrop()
{
    const qreal ratio = devicePixelRatioF();
    const bool active = isActiveWindow();
    if (!m_backdrop.isNull() && m_backdropPlace.contains(geometry()) && m_backdrop.devicePixelRatio() == ratio &&
        m_backdropActive == active)
        return m_backdrop;
    const QRect place(QPoint(std::min(x(), rightEdge() - m_room), y()), QPoint(rightEdge() - 1, y() + height() - 1));
    m_backdrop = QPixmap((QSizeF(place.size()) * ratio).toSize());
    m_backdrop.setDevicePixelRatio(ratio);
    QWidget* frame = parentWidget();
    window()->render(&m_backdrop, QPoint(), QRegion(QRect(frame->mapTo(window(), place.topLeft()), place.size())),
                     QWidget::DrawWindowBackground);
    if (frame != window())
        frame->render(&m_backdrop, QPoint(), QRegion(place), {});
    m_backdropPlace = place;
    m_backdropActive = active;
    return m_backdrop;
}
