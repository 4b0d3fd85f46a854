#include "chart/GraphicAPI.h"

#include "chart/RayDirection.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRectF>

#include <cmath>
#include <numbers>

namespace GraphicAPI {
namespace {

// Outline width in logical pixels.
constexpr qreal PenWidth = 1.0;

// The ellipse of the rectangle as the outline's centre line runs: the shape
// covers the columns left to right - 1 and the rows top to bottom - 1, and the
// pen lies half its width inside that area so that it covers exactly the
// outermost pixels.
[[nodiscard]] QRectF outlineRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    const QRectF area(static_cast<qreal>(left), static_cast<qreal>(top), static_cast<qreal>(right) - left,
                      static_cast<qreal>(bottom) - top);
    const qreal inset = PenWidth / 2.0;
    return area.normalized().adjusted(inset, inset, -inset, -inset);
}

// Prepares a painter on the context's image: antialiased, in logical pixels
// (the image's device pixel ratio scales them), with the context's pen and
// fill colour.
void setUp(QPainter& painter, const DeviceContext& context)
{
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(context.penColor(), PenWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(context.fillColor());
}

// The angle at which QPainterPath::arcTo reaches the point where the ray meets
// the ellipse, in degrees counterclockwise from three o'clock. The arc's
// angles are those of the ellipse's parametric form (a cos t, -b sin t), not
// the angles of the points seen from the centre, and screen y grows
// downwards.
[[nodiscard]] qreal arcAngle(const UsageChart::RayDirection& ray, const QRectF& ellipse)
{
    const qreal a = ellipse.width() / 2.0;
    const qreal b = ellipse.height() / 2.0;
    const qreal t = std::atan2(-static_cast<qreal>(ray.y) * a, static_cast<qreal>(ray.x) * b);
    return t * 180.0 / std::numbers::pi;
}

} // namespace

int Ellipse(HDC hdc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    if (hdc == nullptr || hdc->image().isNull())
        return 0;
    QPainter painter(&hdc->image());
    setUp(painter, *hdc);
    painter.drawEllipse(outlineRect(left, top, right, bottom));
    return 1;
}

int Pie(HDC hdc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, std::int32_t xr1,
        std::int32_t yr1, std::int32_t xr2, std::int32_t yr2)
{
    if (hdc == nullptr || hdc->image().isNull())
        return 0;
    const QRectF ellipse = outlineRect(left, top, right, bottom);
    const UsageChart::ChartRect bounds{left, top, right, bottom};
    const UsageChart::RayDirection first = UsageChart::DirectionFrom(bounds, {xr1, yr1});
    const UsageChart::RayDirection second = UsageChart::DirectionFrom(bounds, {xr2, yr2});

    QPainter painter(&hdc->image());
    setUp(painter, *hdc);
    if (first == second) {
        painter.drawEllipse(ellipse);
        return 1;
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
    return 1;
}

} // namespace GraphicAPI
