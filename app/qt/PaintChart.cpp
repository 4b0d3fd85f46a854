#include "app/qt/PaintChart.h"

#include "app/qt/ColorValue.h"
#include "chart/RayDirection.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRectF>

#include <cmath>
#include <numbers>

namespace {

// Outline width in logical pixels.
constexpr qreal PenWidth = 1.0;

// The ellipse as the outline's centre line runs: the shape covers columns left to
// right - 1 and rows top to bottom - 1, and the pen lies half its width inside,
// so that it covers exactly the outermost pixels.
[[nodiscard]] QRectF outlineRect(const UsageChart::ChartRect& r)
{
    const qreal inset = PenWidth / 2.0;
    return QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom))
        .normalized()
        .adjusted(inset, inset, -inset, -inset);
}

// The angle at which QPainterPath::arcTo reaches the point where the ray meets the
// ellipse, in degrees counterclockwise from three o'clock: an angle of the
// ellipse's parametric form (a cos t, -b sin t), not of the point seen from the
// centre, and screen y grows downwards.
[[nodiscard]] qreal arcAngle(const UsageChart::RayDirection& ray, const QRectF& ellipse)
{
    const qreal a = ellipse.width() / 2.0;
    const qreal b = ellipse.height() / 2.0;
    const qreal t = std::atan2(-static_cast<qreal>(ray.y) * a, static_cast<qreal>(ray.x) * b);
    return t * 180.0 / std::numbers::pi;
}

void paintPie(QPainter& painter, const UsageChart::ChartRect& bounds, const UsageChart::Shape& pie,
              const QRectF& ellipse)
{
    const UsageChart::RayDirection first = UsageChart::DirectionFrom(bounds, pie.radial1);
    const UsageChart::RayDirection second = UsageChart::DirectionFrom(bounds, pie.radial2);
    if (first == second) {
        painter.drawEllipse(ellipse);
        return;
    }
    const qreal start = arcAngle(first, ellipse);
    qreal sweep = arcAngle(second, ellipse) - start;
    // Counterclockwise, and less than a full turn: the rays differ.
    if (sweep <= 0.0)
        sweep += 360.0;
    QPainterPath wedge(ellipse.center());
    wedge.arcTo(ellipse, start, sweep);
    wedge.closeSubpath();
    painter.drawPath(wedge);
}

} // namespace

void paintChart(QPainter& painter, const ChartPicture& picture, int firstShape)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(Qt::black, PenWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    const QRectF ellipse = outlineRect(picture.bounds);
    for (int i = firstShape; i < picture.plan.shapeCount; ++i) {
        const UsageChart::Shape& shape = picture.plan.shapes[static_cast<std::size_t>(i)];
        painter.setBrush(ColorValue::toQColor(shape.fillColor));
        if (shape.kind == UsageChart::ShapeKind::Ellipse)
            painter.drawEllipse(ellipse);
        else
            paintPie(painter, picture.bounds, shape, ellipse);
    }
    painter.restore();
}
