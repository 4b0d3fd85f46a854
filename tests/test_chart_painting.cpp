#include "app/qt/ChartView.h"
#include "app/qt/ColorValue.h"
#include "app/qt/PaintChart.h"
#include "tests/RowName.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPalette>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr std::int32_t UsedColor = 0x007472C9;
constexpr std::int32_t FreeColor = 0x00BDA37D;
// The chart box is 257 pixels square.
constexpr int BoxSide = 257;

// The window's face the chart box clears to.
const QColor Background(0xF0, 0xF0, 0xF0);

[[nodiscard]] ChartPicture boxPicture(std::int64_t capacity, std::int64_t free)
{
    const UsageChart::ChartStyle style{
        {0, 0, BoxSide, BoxSide}, UsedColor, FreeColor, static_cast<float>(4.0 * std::atan(1.0))};
    return {style.bounds,
            UsageChart::PlanUsageChart(style, Currency::fromStored(capacity), Currency::fromStored(free))};
}

// A box-sized image at the device pixel ratio, cleared, with the picture painted on it.
[[nodiscard]] QImage painted(const ChartPicture& picture, int width, int height, double ratio, QColor background)
{
    QImage image((QSizeF(width, height) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(background);
    QPainter painter(&image);
    paintChart(painter, picture);
    return image;
}

// The colour of the physical pixel at the middle of a logical pixel.
[[nodiscard]] QColor colourAt(const QImage& image, double x, double y)
{
    const double ratio = image.devicePixelRatio();
    return image.pixelColor(static_cast<int>(std::floor((x + 0.5) * ratio)),
                            static_cast<int>(std::floor((y + 0.5) * ratio)));
}

[[nodiscard]] std::string describe(const QColor& c)
{
    return c.name().toStdString();
}

// Outline pixels are black antialiased over the fill: dark, whatever the mix.
[[nodiscard]] bool isDark(const QColor& c)
{
    return c.red() < 80 && c.green() < 80 && c.blue() < 80;
}

enum class Region { Used, Free };

struct ChartCase {
    const char* name;
    std::int64_t capacity;
    std::int64_t free;
    // Well inside the four quadrants around the centre, 60 pixels off each axis.
    Region upperRight;
    Region upperLeft;
    Region lowerLeft;
    Region lowerRight;
};

// Names the row in failure messages.
void PrintTo(const ChartCase& c, std::ostream* os)
{
    *os << c.name;
}

constexpr ChartCase chartCases[] = {
    {"FreeHalf", 1'000'000'000'000, 500'000'000'000, Region::Used, Region::Used, Region::Free, Region::Free},
    {"FreeQuarter", 1'000'000'000'000, 250'000'000'000, Region::Used, Region::Used, Region::Used, Region::Free},
    {"FreeThreeQuarters", 1'000'000'000'000, 750'000'000'000, Region::Used, Region::Free, Region::Free, Region::Free},
    {"FreeZero", 1'000'000'000'000, 0, Region::Used, Region::Used, Region::Used, Region::Used},
    {"NothingUsed", 1'000'000'000'000, 1'000'000'000'000, Region::Free, Region::Free, Region::Free, Region::Free},
    // Both rays point east: the whole disc is used.
    {"FreeShareBelowHalfPixel", 2'000'000'000'000, 6'000'000, Region::Used, Region::Used, Region::Used, Region::Used},
};

class ChartPaintingTest : public testing::TestWithParam<ChartCase> {};

TEST_P(ChartPaintingTest, ShowsEachShareInItsColour)
{
    const auto& c = GetParam();
    const QImage image = painted(boxPicture(c.capacity, c.free), BoxSide, BoxSide, 1.0, Background);

    const auto colourOf = [](Region r) { return ColorValue::toQColor(r == Region::Used ? UsedColor : FreeColor); };
    const double centre = BoxSide / 2.0;
    struct Sample {
        const char* where;
        double x;
        double y;
        QColor expected;
    };
    const QColor background = Background;
    const std::vector<Sample> samples = {
        {"upper right", centre + 60, centre - 60, colourOf(c.upperRight)},
        {"upper left", centre - 60, centre - 60, colourOf(c.upperLeft)},
        {"lower left", centre - 60, centre + 60, colourOf(c.lowerLeft)},
        {"lower right", centre + 60, centre + 60, colourOf(c.lowerRight)},
        {"top left corner", 3, 3, background},
        {"top right corner", BoxSide - 4, 3, background},
        {"bottom left corner", 3, BoxSide - 4, background},
        {"bottom right corner", BoxSide - 4, BoxSide - 4, background},
    };
    for (const auto& s : samples)
        EXPECT_EQ(describe(colourAt(image, s.x, s.y)), describe(s.expected)) << s.where;
}

INSTANTIATE_TEST_SUITE_P(Table, ChartPaintingTest, testing::ValuesIn(chartCases), RowName{});

// One shape in the used colour within bounds, painted on white.
[[nodiscard]] QImage paintedShape(const UsageChart::Shape& shape, const UsageChart::ChartRect& bounds, int width,
                                  int height, double ratio)
{
    ChartPicture picture{bounds, {}};
    picture.plan.shapes[0] = shape;
    picture.plan.shapeCount = 1;
    return painted(picture, width, height, ratio, Qt::white);
}

[[nodiscard]] QImage paintedEllipse(std::int32_t right, std::int32_t bottom, double ratio)
{
    return paintedShape({UsageChart::ShapeKind::Ellipse, UsedColor, {}, {}}, {0, 0, right, bottom}, BoxSide, BoxSide,
                        ratio);
}

struct EdgeCase {
    const char* name;
    double ratio;
};

// Names the row in failure messages.
void PrintTo(const EdgeCase& c, std::ostream* os)
{
    *os << c.name;
}

constexpr EdgeCase edgeCases[] = {{"Ratio1", 1.0}, {"Ratio2", 2.0}};

class EllipseEdgeTest : public testing::TestWithParam<EdgeCase> {};

// The rectangle takes in its left column and top row and leaves out its right
// column and bottom row: an ellipse of (0, 0, 256, 256) on a 257-pixel image
// is outlined in columns and rows 0 and 255, and 256 stays clear.
TEST_P(EllipseEdgeTest, LeavesOutTheRightColumnAndBottomRow)
{
    const QImage image = paintedEllipse(256, 256, GetParam().ratio);
    EXPECT_TRUE(isDark(colourAt(image, 0, 128))) << describe(colourAt(image, 0, 128));
    EXPECT_TRUE(isDark(colourAt(image, 128, 0))) << describe(colourAt(image, 128, 0));
    EXPECT_TRUE(isDark(colourAt(image, 255, 128))) << describe(colourAt(image, 255, 128));
    EXPECT_TRUE(isDark(colourAt(image, 128, 255))) << describe(colourAt(image, 128, 255));
    EXPECT_EQ(describe(colourAt(image, 256, 128)), "#ffffff");
    EXPECT_EQ(describe(colourAt(image, 128, 256)), "#ffffff");
    EXPECT_EQ(describe(colourAt(image, 128, 128)), describe(ColorValue::toQColor(UsedColor)));
}

// With the box's own size as the rectangle, the ellipse fills the box: its
// outline reaches the last column and row.
TEST_P(EllipseEdgeTest, FillsTheBoxGivenItsSize)
{
    const QImage image = paintedEllipse(BoxSide, BoxSide, GetParam().ratio);
    EXPECT_TRUE(isDark(colourAt(image, 256, 128))) << describe(colourAt(image, 256, 128));
    EXPECT_TRUE(isDark(colourAt(image, 128, 256))) << describe(colourAt(image, 128, 256));
    EXPECT_EQ(describe(colourAt(image, 254, 128)), describe(ColorValue::toQColor(UsedColor)));
}

// At ratio 2 the outline is one logical pixel, two physical ones, sharp
// against the fill inside it.
TEST(EllipseSharpness, OutlineIsTwoPhysicalPixelsAtRatio2)
{
    const QImage image = paintedEllipse(BoxSide, BoxSide, 2.0);
    EXPECT_TRUE(isDark(image.pixelColor(513, 257))) << describe(image.pixelColor(513, 257));
    EXPECT_TRUE(isDark(image.pixelColor(512, 257))) << describe(image.pixelColor(512, 257));
    EXPECT_EQ(describe(image.pixelColor(510, 257)), describe(ColorValue::toQColor(UsedColor)));
}

INSTANTIATE_TEST_SUITE_P(Table, EllipseEdgeTest, testing::ValuesIn(edgeCases), RowName{});

struct PieCase {
    const char* name;
    std::int32_t right;
    std::int32_t bottom;
    // The rays, through points given relative to the centre.
    double ray1x, ray1y, ray2x, ray2y;
    // A direction in degrees counterclockwise on the screen from east, and
    // whether the wedge covers it.
    double probeDegrees;
    bool inside;
};

// Names the row in failure messages.
void PrintTo(const PieCase& c, std::ostream* os)
{
    *os << c.name;
}

// A 200 x 100 ellipse: the arc's angles are not the rays' angles.
constexpr PieCase pieCases[] = {
    {"QuarterNorthEastInside", 200, 200, 1000, 0, 0, -1000, 45, true},
    {"QuarterNorthEastLeavesSouthEast", 200, 200, 1000, 0, 0, -1000, -45, false},
    {"QuarterNorthEastLeavesNorthWest", 200, 200, 1000, 0, 0, -1000, 135, false},
    {"WideEllipseInsideFortyFiveDegreeRay", 200, 100, 1000, 0, 1000, -1000, 40, true},
    {"WideEllipseOutsideFortyFiveDegreeRay", 200, 100, 1000, 0, 1000, -1000, 50, false},
    {"TallEllipseInsideSixtyDegreeRay", 100, 200, 1000, 0, 500, -866, 55, true},
    {"TallEllipseOutsideSixtyDegreeRay", 100, 200, 1000, 0, 500, -866, 65, false},
    {"WrapsPastEast", 200, 200, 0, 1000, 1000, -1000, 0, true},
    {"WrapsPastEastLeavesWest", 200, 200, 0, 1000, 1000, -1000, 180, false},
    {"SameWayIsWholeEllipse", 200, 200, 1000, 0, 500, 0, 180, true},
    {"SameWayIsWholeEllipseSouth", 200, 200, 1000, 0, 500, 0, -90, true},
};

class PieTest : public testing::TestWithParam<PieCase> {};

TEST_P(PieTest, RunsCounterclockwiseFromFirstRayToSecond)
{
    const auto& c = GetParam();
    const double cx = c.right / 2.0;
    const double cy = c.bottom / 2.0;
    const auto at = [](double v) { return static_cast<std::int32_t>(std::lround(v)); };
    const UsageChart::Shape pie{UsageChart::ShapeKind::Pie,
                                UsedColor,
                                {at(cx + c.ray1x), at(cy + c.ray1y)},
                                {at(cx + c.ray2x), at(cy + c.ray2y)}};
    const QImage image = paintedShape(pie, {0, 0, c.right, c.bottom}, c.right, c.bottom, 1.0);

    // Six tenths of the way from the centre to the ellipse along the probe.
    const double t = c.probeDegrees * std::numbers::pi / 180.0;
    const double a = c.right / 2.0;
    const double b = c.bottom / 2.0;
    const double reach = 0.6 / std::sqrt(std::cos(t) * std::cos(t) / (a * a) + std::sin(t) * std::sin(t) / (b * b));
    const QColor seen = colourAt(image, cx + reach * std::cos(t) - 0.5, cy - reach * std::sin(t) - 0.5);
    EXPECT_EQ(describe(seen), c.inside ? describe(ColorValue::toQColor(UsedColor)) : "#ffffff");
}

INSTANTIATE_TEST_SUITE_P(Table, PieTest, testing::ValuesIn(pieCases), RowName{});

// The table of shares against images the chart box painted before it painted
// in its paint event: every pixel the same, at 96 and at 144 dots per inch.
struct ShareRow {
    const char* name;
    std::int64_t capacity;
    std::int64_t free;
};

constexpr ShareRow shareRows[] = {
    {"used0", 1'000'000'000'000, 1'000'000'000'000},
    {"usedSliver", 1'000'000'000'000, 996'000'000'000},
    {"used25", 1'000'000'000'000, 750'000'000'000},
    {"used50", 1'000'000'000'000, 500'000'000'000},
    {"used75", 1'000'000'000'000, 250'000'000'000},
    {"usedNearlyAll", 1'000'000'000'000, 4'000'000'000},
    {"used100", 1'000'000'000'000, 0},
};

// Names the row in failure messages.
void PrintTo(const ShareRow& row, std::ostream* os)
{
    *os << row.name;
}

// Where two images first differ, or nothing when every pixel is the same.
[[nodiscard]] std::string firstDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return "size differs";
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return "at " + std::to_string(x) + ", " + std::to_string(y) + ": " + describe(a.pixelColor(x, y)) +
                       " instead of " + describe(b.pixelColor(x, y));
    return {};
}

class ChartReferenceTest : public testing::TestWithParam<ShareRow> {};

TEST_P(ChartReferenceTest, PaintsEveryPixelAsBefore)
{
    const ShareRow& row = GetParam();
    for (const auto& [ratio, suffix] : {std::pair{1.0, "@1x"}, std::pair{1.5, "@1.5x"}}) {
        const QString file = QStringLiteral(QUILLMAR_CHART_REFERENCES "/%1%2.png").arg(row.name, suffix);
        const QImage reference(file);
        ASSERT_FALSE(reference.isNull()) << file.toStdString();
        const QImage image = painted(boxPicture(row.capacity, row.free), BoxSide, BoxSide, ratio, Background);
        EXPECT_EQ(firstDifference(image, reference), "") << suffix;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ChartReferenceTest, testing::ValuesIn(shareRows), RowName{});

// The box shows exactly the painted picture over the window's face, at the
// screen's device pixel ratio (a second run makes that 1.5), picture after
// picture: a new share, then a new free colour under the same share.
TEST(ChartViewPaint, ShowsThePictureAsPainted)
{
    ChartView view;
    QPalette palette = view.palette();
    palette.setColor(QPalette::Window, Background);
    view.setPalette(palette);
    view.resize(BoxSide, BoxSide);
    ChartPicture recoloured = boxPicture(1'000'000, 250'000);
    recoloured.plan.shapes[0].fillColor = 0x0000FF00;
    for (const ChartPicture& picture : {boxPicture(1'000'000, 750'000), boxPicture(1'000'000, 250'000), recoloured}) {
        view.setPicture(picture);
        const QImage shown = view.grab().toImage();
        EXPECT_EQ(firstDifference(shown, painted(picture, BoxSide, BoxSide, view.devicePixelRatioF(), Background)), "");
    }
}

} // namespace
