#pragma once

#include "chart/UsageChart.h"

#include <cstdint>
#include <numeric>

namespace UsageChart {

// The direction of the ray from the centre of bounds through point, in lowest
// terms: two rays point the same way exactly when their directions are equal.
// Coordinates are doubled so that a centre ending in a half pixel is whole; the
// components stay below 2^34 in magnitude. The centre itself has direction (0, 0).
struct RayDirection {
    std::int64_t x = 0;
    std::int64_t y = 0;
    friend constexpr bool operator==(RayDirection, RayDirection) = default;
};

[[nodiscard]] constexpr RayDirection DirectionFrom(const ChartRect& bounds, ChartPoint point)
{
    const std::int64_t x = 2 * std::int64_t{point.x} - (std::int64_t{bounds.left} + bounds.right);
    const std::int64_t y = 2 * std::int64_t{point.y} - (std::int64_t{bounds.top} + bounds.bottom);
    const std::int64_t divisor = std::gcd(x, y);
    if (divisor == 0)
        return {};
    return {x / divisor, y / divisor};
}

} // namespace UsageChart
