#include "app/qt/ChartView.h"

#include "app/qt/FocusMark.h"
#include "app/qt/PaintChart.h"

#include <QPainter>
#include <QPalette>
#include <QResizeEvent>

ChartView::ChartView(QWidget* parent) : QWidget(parent)
{
    // The background is painted here: nothing below shows.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void ChartView::setPicture(const std::optional<ChartPicture>& picture)
{
    m_picture = picture;
    update();
}

namespace {

// The picture's leading discs, which stay the same while the wedge over them changes.
[[nodiscard]] ChartPicture discsOf(const ChartPicture& picture)
{
    ChartPicture discs{picture.bounds, {}};
    while (discs.plan.shapeCount < picture.plan.shapeCount) {
        const UsageChart::Shape& shape = picture.plan.shapes[static_cast<std::size_t>(discs.plan.shapeCount)];
        if (shape.kind != UsageChart::ShapeKind::Ellipse)
            break;
        discs.plan.shapes[static_cast<std::size_t>(discs.plan.shapeCount++)] = shape;
    }
    return discs;
}

} // namespace

// The antialiased disc, most of a chart's cost, stays while the wedge grows by a sliver: it comes from the backdrop.
void ChartView::paintEvent(QPaintEvent*)
{
    const std::optional<ChartPicture> discs = m_picture ? std::optional(discsOf(*m_picture)) : std::nullopt;
    QPainter painter(this);
    painter.drawPixmap(0, 0, backdrop(discs));
    if (m_picture)
        paintChart(painter, *m_picture, discs->plan.shapeCount);
    if (FocusMark::shows(*this))
        FocusMark::paint(painter, *this, rect(), palette().color(QPalette::Window), palette().color(QPalette::Window));
}

const QPixmap& ChartView::backdrop(const std::optional<ChartPicture>& discs)
{
    const qreal ratio = devicePixelRatioF();
    const QColor face = palette().color(QPalette::Window);
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (m_backdrop.size() == pixels && m_backdrop.devicePixelRatio() == ratio && m_backdropColor == face &&
        m_backdropDiscs == discs)
        return m_backdrop;
    m_backdrop = QPixmap(pixels);
    m_backdrop.setDevicePixelRatio(ratio);
    m_backdrop.fill(face);
    if (discs) {
        QPainter painter(&m_backdrop);
        paintChart(painter, *discs);
    }
    m_backdropDiscs = discs;
    m_backdropColor = face;
    return m_backdrop;
}

// The first size comes without an old one; only later changes concern the picture.
void ChartView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (event->oldSize().isValid() && event->oldSize() != event->size())
        emit Resized();
}
