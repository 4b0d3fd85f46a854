#pragma once

#include "drivespace/Currency.h"

#include <array>
#include <cstdint>

// What the usage pie chart draws, worked out without drawing anything: a disc in
// the free colour and, over it, either nothing, a second disc in the used colour
// or a used wedge between two radial points.
namespace UsageChart {

// The chart's bounding rectangle in box pixels; the right column and the bottom
// row lie outside the drawn ellipse.
struct ChartRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    friend constexpr bool operator==(const ChartRect&, const ChartRect&) = default;
};

struct ChartPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend constexpr bool operator==(ChartPoint, ChartPoint) = default;
};

enum class ShapeKind { Ellipse, Pie };

// One drawing call: the shape, its fill colour (0x00BBGGRR) and, for a pie, the
// points its two rays run through from the centre.
struct Shape {
    ShapeKind kind = ShapeKind::Ellipse;
    std::int32_t fillColor = 0;
    ChartPoint radial1{};
    ChartPoint radial2{};
    friend constexpr bool operator==(const Shape&, const Shape&) = default;
};

// The chart's colours and geometry as the main window holds them.
struct ChartStyle {
    ChartRect bounds{};
    std::int32_t usedColor = 0;
    std::int32_t freeColor = 0;
    float pi = 0.0F;
    friend constexpr bool operator==(const ChartStyle&, const ChartStyle&) = default;
};

// The shapes in drawing order: the first shapeCount of them are drawn, the
// rest stay at their defaults.
struct ChartPlan {
    std::array<Shape, 2> shapes{};
    int shapeCount = 0;
    friend constexpr bool operator==(const ChartPlan&, const ChartPlan&) = default;
};

// The first radial point of the used wedge: far to the east, on the row of the
// chart centre (rounded half to even), so its ray points at three o'clock.
[[nodiscard]] ChartPoint StartPoint(const ChartRect& bounds);

// The second radial point: 15,000 pixels from the chart centre at the given
// angle (radians, clockwise on the screen from three o'clock), rounded half to
// even. Defined for every angle: a NaN or infinite angle gives the centre, and
// coordinates beyond 32 bits saturate.
[[nodiscard]] ChartPoint EndPoint(const ChartRect& bounds, float angle);

// The shapes for a drive of the given capacity and free bytes; every pair of
// counts, zero capacity and the ends of the 64-bit range included, gives one.
// Up to 5,000 bytes used either way, and free above capacity, give the free
// disc alone; a share too thin to show as a wedge gives the other share's disc.
[[nodiscard]] ChartPlan PlanUsageChart(const ChartStyle& style, Currency capacity, Currency free);

} // namespace UsageChart
