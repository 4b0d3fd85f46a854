#include "chart/UsageChart.h"
#include "tests/RowName.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>

namespace {

using UsageChart::ChartPoint;
using UsageChart::ChartRect;
using UsageChart::ShapeKind;

constexpr std::int32_t UsedColor = 0x007472C9;
constexpr std::int32_t FreeColor = 0x00BDA37D;
constexpr std::int64_t Largest = std::numeric_limits<std::int64_t>::max();
constexpr ChartRect Even{0, 0, 256, 256};
// The real chart box: 257 pixels, so the centre ends in a half pixel.
constexpr ChartRect Odd{0, 0, 257, 257};

// What lies over the free disc.
enum class Over { Nothing, UsedDisc, Wedge };

struct PlanCase {
    const char* name;
    ChartRect bounds;
    std::int64_t capacity;
    std::int64_t free;
    Over over;
    ChartPoint end; // for a wedge only
};

// Names the row in failure messages.
void PrintTo(const PlanCase& c, std::ostream* os)
{
    *os << c.name;
}

constexpr PlanCase planCases[] = {
    {"FreeHalf", Even, 1'000'000'000'000, 500'000'000'000, Over::Wedge, {-14872, 128}},
    {"FreeQuarter", Even, 1'000'000'000'000, 250'000'000'000, Over::Wedge, {128, 15128}},
    {"FreeThreeQuarters", Even, 1'000'000'000'000, 750'000'000'000, Over::Wedge, {128, -14872}},
    {"FreeTenth", Even, 1'000'000'000'000, 100'000'000'000, Over::Wedge, {12263, 8945}},
    // Both rays point east: the pie is the whole ellipse in the used colour.
    {"FreeShareBelowHalfPixel", Even, 2'000'000'000'000, 6'000'000, Over::Wedge, {15128, 128}},
    {"NothingUsed", Even, 1'000'000'000'000, 1'000'000'000'000, Over::Nothing, {}},
    {"FiveThousandUsed", Even, 1'000'000'000, 999'995'000, Over::Nothing, {}},
    {"FiveThousandUsedQuarterOfSmallDrive", Even, 20'000, 15'000, Over::Nothing, {}},
    {"FiveThousandOneUsed", Even, 20'000, 14'999, Over::Wedge, {123, -14872}},
    {"FreeZero", Even, 1'000'000'000'000, 0, Over::UsedDisc, {}},
    // The used-count test comes first: 5,000 bytes on a 5,000-byte drive are none.
    {"FreeZeroFiveThousandCapacity", Even, 5'000, 0, Over::Nothing, {}},
    {"FreeZeroFiveThousandOneCapacity", Even, 5'001, 0, Over::UsedDisc, {}},
    {"CapacityZero", Even, 0, 0, Over::Nothing, {}},
    {"CapacityZeroSomeFree", Even, 0, 1'000'000, Over::Nothing, {}},
    {"CapacityZeroLargestFree", Even, 0, Largest, Over::Nothing, {}},
    {"FreeAboveCapacity", Even, 1'000'000, 1'500'000, Over::Nothing, {}},
    {"FreeFiveThousandAboveCapacity", Even, 1'000'000, 1'005'000, Over::Nothing, {}},
    {"FreeSlightlyAboveHugeCapacity", Even, 1'000'000'000'000, 1'000'000'006'000, Over::Nothing, {}},
    // Exactly the first difference that no longer fits the 32-bit used count.
    {"UsedBeyond32Bits",
     Even,
     30'000'000'000'000,
     30'000'000'000'000 - 21'474'836'475'000,
     Over::Wedge,
     {-3068, 14784}},
    {"LargestCapacityFreeZero", Even, Largest, 0, Over::UsedDisc, {}},
    {"LargestCapacityFreeOne", Even, Largest, 1, Over::Wedge, {15128, 128}},
    {"LargestCapacityAllFree", Even, Largest, Largest, Over::Nothing, {}},
    // 6,000 bytes used of a terabyte: the rounded end point lies on the start
    // ray, which would paint the whole disc as used.
    {"UsedShareBelowHalfPixel", Even, 1'000'000'000'000, 999'999'994'000, Over::Nothing, {}},
    {"UsedShareBelowHalfPixelGigabyte", Even, 1'000'000'000, 999'994'999, Over::Nothing, {}},
    {"OddFreeHalf", Odd, 1'000'000'000'000, 500'000'000'000, Over::Wedge, {-14871, 128}},
    {"OddFreeQuarter", Odd, 1'000'000'000'000, 250'000'000'000, Over::Wedge, {128, 15128}},
    {"OddFreeThreeQuarters", Odd, 1'000'000'000'000, 750'000'000'000, Over::Wedge, {129, -14871}},
    {"OddFreeTenth", Odd, 1'000'000'000'000, 100'000'000'000, Over::Wedge, {12264, 8945}},
    {"OddFreeShareBelowHalfPixel", Odd, 2'000'000'000'000, 6'000'000, Over::Wedge, {15128, 129}},
    // Here the end point falls just below the start ray: the wedge would sweep
    // almost the whole turn.
    {"OddUsedShareBelowHalfPixel", Odd, 1'000'000'000'000, 999'999'994'000, Over::Nothing, {}},
    // And here just above it: the wedge would be a sliver.
    {"OddLargestCapacityFreeOne", Odd, Largest, 1, Over::UsedDisc, {}},
};

class PlanUsageChartTest : public testing::TestWithParam<PlanCase> {};

TEST_P(PlanUsageChartTest, DrawsFreeDiscThenWhatIsUsed)
{
    const auto& c = GetParam();
    const UsageChart::ChartStyle style{c.bounds, UsedColor, FreeColor, static_cast<float>(4.0 * std::atan(1.0))};
    const auto plan = UsageChart::PlanUsageChart(style, Currency::fromStored(c.capacity), Currency::fromStored(c.free));

    ASSERT_GE(plan.shapeCount, 1);
    EXPECT_EQ(plan.shapes[0].kind, ShapeKind::Ellipse);
    EXPECT_EQ(plan.shapes[0].fillColor, FreeColor);

    switch (c.over) {
    case Over::Nothing:
        EXPECT_EQ(plan.shapeCount, 1);
        break;
    case Over::UsedDisc:
        ASSERT_EQ(plan.shapeCount, 2);
        EXPECT_EQ(plan.shapes[1].kind, ShapeKind::Ellipse);
        EXPECT_EQ(plan.shapes[1].fillColor, UsedColor);
        break;
    case Over::Wedge:
        ASSERT_EQ(plan.shapeCount, 2);
        EXPECT_EQ(plan.shapes[1].kind, ShapeKind::Pie);
        EXPECT_EQ(plan.shapes[1].fillColor, UsedColor);
        EXPECT_EQ(plan.shapes[1].radial1, (ChartPoint{29999, 128}));
        EXPECT_EQ(plan.shapes[1].radial2, c.end);
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, PlanUsageChartTest, testing::ValuesIn(planCases), RowName{});

struct StartCase {
    const char* name;
    ChartRect bounds;
    ChartPoint start;
};

// Names the row in failure messages.
void PrintTo(const StartCase& c, std::ostream* os)
{
    *os << c.name;
}

// The centre's y rounds half to even.
constexpr StartCase startCases[] = {
    {"EvenBox", Even, {29999, 128}},
    {"OddBoxRoundsDown", Odd, {29999, 128}},
    {"OddBoxRoundsUp", {0, 0, 259, 259}, {29999, 130}},
    {"SmallerOddBox", {0, 0, 255, 255}, {29999, 128}},
    {"OffsetBox", {0, 11, 256, 256}, {29999, 134}},
    {"NegativeHalf", {0, -5, 256, 0}, {29999, -2}},
};

class StartPointTest : public testing::TestWithParam<StartCase> {};

TEST_P(StartPointTest, LiesFarEastOnTheCentreRow)
{
    EXPECT_EQ(UsageChart::StartPoint(GetParam().bounds), GetParam().start);
}

INSTANTIATE_TEST_SUITE_P(Table, StartPointTest, testing::ValuesIn(startCases), RowName{});

struct EndCase {
    const char* name;
    ChartRect bounds;
    float angle;
    ChartPoint end;
};

// Names the row in failure messages.
void PrintTo(const EndCase& c, std::ostream* os)
{
    *os << c.name;
}

constexpr std::int32_t Int32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t Int32Min = std::numeric_limits<std::int32_t>::min();

const EndCase endCases[] = {
    {"East", Even, 0.0F, {15128, 128}},
    {"EastOddBoxHalfRoundsToEven", Odd, 0.0F, {15128, 128}},
    {"NaNGivesCentre", Even, std::numeric_limits<float>::quiet_NaN(), {128, 128}},
    {"InfinityGivesCentre", Even, std::numeric_limits<float>::infinity(), {128, 128}},
    {"MinusInfinityGivesCentre", Odd, -std::numeric_limits<float>::infinity(), {128, 128}},
    {"SaturatesEast", {Int32Max - 100, 0, Int32Max, 256}, 0.0F, {Int32Max, 128}},
    {"SaturatesWest", {Int32Min, 0, Int32Min + 100, 256}, 3.14159274F, {Int32Min, 128}},
    {"CentreBeyondBothEnds", {Int32Min, Int32Min, Int32Max, Int32Max}, 0.0F, {15000, 0}},
};

class EndPointTest : public testing::TestWithParam<EndCase> {};

TEST_P(EndPointTest, IsDefinedForEveryAngle)
{
    EXPECT_EQ(UsageChart::EndPoint(GetParam().bounds, GetParam().angle), GetParam().end);
}

INSTANTIATE_TEST_SUITE_P(Table, EndPointTest, testing::ValuesIn(endCases), RowName{});

} // namespace
