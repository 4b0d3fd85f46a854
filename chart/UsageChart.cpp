#include "chart/UsageChart.h"

#include "chart/RayDirection.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

namespace UsageChart {
namespace {

// Distance of the end point from the chart centre, in box pixels: far outside
// any box, so the ray through it is exact to well under a pixel.
constexpr double EndPointDistance = 15000.0;
// x of the start point, in box pixels: far to the east of any box.
constexpr std::int32_t StartPointX = 29999;
// Used space up to this many bytes either way counts as none: the used count,
// in units of 10,000 bytes rounded half to even, is zero.
constexpr std::uint64_t NegligibleUsedBytes = 5'000;

// Nearest whole number, halves to the even neighbour, whatever the floating
// point environment's rounding mode is.
[[nodiscard]] double roundHalfEven(double value)
{
    // std::round takes halves away from zero.
    return std::fabs(value - std::trunc(value)) == 0.5 ? 2.0 * std::round(value / 2.0) : std::round(value);
}

// Rounds half to even into 32 bits. Values beyond the range saturate; a NaN
// gives the fallback. Converting either directly would be undefined.
[[nodiscard]] std::int32_t toInt32(double value, std::int32_t fallback)
{
    if (std::isnan(value))
        return fallback;
    using Limits = std::numeric_limits<std::int32_t>;
    return static_cast<std::int32_t>(std::clamp<double>(roundHalfEven(value), Limits::min(), Limits::max()));
}

// The middle between two edges, the chart centre's coordinate; it may end in a
// half pixel. Summed in double, where two 32-bit integers add exactly.
[[nodiscard]] double middle(std::int32_t low, std::int32_t high)
{
    return (static_cast<double>(low) + high) / 2.0;
}

// The free share as an angle in radians, clockwise on the screen from three
// o'clock, in single precision as the chart has always worked it out. Zero
// capacity has no share: NaN, without dividing by zero.
[[nodiscard]] float freeAngle(Currency capacity, Currency free, float pi)
{
    if (capacity.stored() == 0)
        return std::numeric_limits<float>::quiet_NaN();
    // |free / capacity| is at most 2^63, so the product lies well within the
    // float range and the conversion is defined.
    return static_cast<float>(static_cast<double>(free.stored()) / static_cast<double>(capacity.stored()) * 2.0 *
                              static_cast<double>(pi));
}

// Whether more than 5,000 bytes are used; more free than capacity is none. The
// byte difference itself can exceed 32 bits (and, for counts of either sign,
// 63), so it is worked out in unsigned 64-bit arithmetic, where it is exact.
[[nodiscard]] bool showsUsed(Currency capacity, Currency free)
{
    return capacity >= free &&
           static_cast<std::uint64_t>(capacity.stored()) - static_cast<std::uint64_t>(free.stored()) >
               NegligibleUsedBytes;
}

// The turn from the ray through a counterclockwise on the screen to the ray
// through b, in radians, in (0, 2 pi]: rays that point the same way give the
// full turn, as the pie then draws the whole ellipse.
[[nodiscard]] double sweepBetween(const ChartRect& bounds, ChartPoint a, ChartPoint b)
{
    const RayDirection da = DirectionFrom(bounds, a);
    const RayDirection db = DirectionFrom(bounds, b);
    if (da == db)
        return 2.0 * std::numbers::pi;
    // Screen y grows downwards; counterclockwise angles grow upwards.
    const double from = std::atan2(-static_cast<double>(da.y), static_cast<double>(da.x));
    const double to = std::atan2(-static_cast<double>(db.y), static_cast<double>(db.x));
    const double sweep = to - from;
    return sweep > 0.0 ? sweep : sweep + 2.0 * std::numbers::pi;
}

} // namespace

ChartPoint StartPoint(const ChartRect& bounds)
{
    return {StartPointX, toInt32(middle(bounds.top, bounds.bottom), 0)};
}

ChartPoint EndPoint(const ChartRect& bounds, float angle)
{
    const double centreX = middle(bounds.left, bounds.right);
    const double centreY = middle(bounds.top, bounds.bottom);
    const auto a = static_cast<double>(angle);
    // A non-finite angle has no direction: its cosine and sine are NaN, and the
    // point falls on the centre.
    return {toInt32(std::cos(a) * EndPointDistance + centreX, toInt32(centreX, 0)),
            toInt32(std::sin(a) * EndPointDistance + centreY, toInt32(centreY, 0))};
}

ChartPlan PlanUsageChart(const ChartStyle& style, Currency capacity, Currency free)
{
    ChartPlan plan{{Shape{ShapeKind::Ellipse, style.freeColor, {}, {}}}, 1};
    // More free than capacity means nothing is used: a wedge would show the
    // angle's excess over a full turn as used space. Zero capacity (no angle at
    // all) lands here too.
    if (!showsUsed(capacity, free))
        return plan;
    const float angle = freeAngle(capacity, free, style.pi);
    const ChartPoint start = StartPoint(style.bounds);
    const ChartPoint end = EndPoint(style.bounds, angle);
    // A share thinner than a pixel can put the rounded end point on the wrong
    // side of the start ray, and the wedge then shows nearly the opposite of
    // the truth: a drive with a few kilobytes used as full. Draw the share
    // that fills the disc instead.
    const double intended = 2.0 * std::numbers::pi - static_cast<double>(angle);
    const double drawn = sweepBetween(style.bounds, start, end);
    if (free.stored() != 0 && drawn - intended > std::numbers::pi)
        return plan;
    const bool usedDisc = free.stored() == 0 || intended - drawn > std::numbers::pi;
    plan.shapes[1] = usedDisc ? Shape{ShapeKind::Ellipse, style.usedColor, {}, {}}
                              : Shape{ShapeKind::Pie, style.usedColor, start, end};
    plan.shapeCount = 2;
    return plan;
}

} // namespace UsageChart
