#include "app/PictureBox.h"
#include "chart/ColorValue.h"
#include "chart/DrawUsageChart.h"
#include "chart/GraphicAPI.h"
#include "tests/RowName.h"

#include <QApplication>
#include <QEvent>
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

[[nodiscard]] UsageChart::ChartStyle boxStyle()
{
    return {{0, 0, BoxSide, BoxSide}, UsedColor, FreeColor, static_cast<float>(4.0 * std::atan(1.0))};
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
    PictureBox picture;
    picture.resize(BoxSide, BoxSide);
    picture.Cls();
    DrawUsageChart(picture, Currency::fromStored(c.capacity), Currency::fromStored(c.free), boxStyle());

    const QImage& image = picture.image();
    ASSERT_EQ(image.devicePixelRatio(), picture.devicePixelRatioF());
    ASSERT_EQ(image.width(), static_cast<int>(std::lround(BoxSide * picture.devicePixelRatioF())));
    EXPECT_EQ(picture.FillColor(), UsedColor);

    const auto colourOf = [](Region r) { return ColorValue::toQColor(r == Region::Used ? UsedColor : FreeColor); };
    const double centre = BoxSide / 2.0;
    struct Sample {
        const char* where;
        double x;
        double y;
        QColor expected;
    };
    const QColor background = picture.palette().color(QPalette::Button);
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

// A context on a fresh image, cleared to white.
[[nodiscard]] DeviceContext makeContext(int width, int height, double ratio)
{
    DeviceContext context;
    context.image() =
        QImage(static_cast<int>(width * ratio), static_cast<int>(height * ratio), QImage::Format_ARGB32_Premultiplied);
    context.image().setDevicePixelRatio(ratio);
    context.image().fill(Qt::white);
    context.setFillColor(ColorValue::toQColor(UsedColor));
    return context;
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
    DeviceContext context = makeContext(BoxSide, BoxSide, GetParam().ratio);
    GraphicAPI::Ellipse(&context, 0, 0, 256, 256);
    const QImage& image = context.image();
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
    DeviceContext context = makeContext(BoxSide, BoxSide, GetParam().ratio);
    GraphicAPI::Ellipse(&context, 0, 0, BoxSide, BoxSide);
    const QImage& image = context.image();
    EXPECT_TRUE(isDark(colourAt(image, 256, 128))) << describe(colourAt(image, 256, 128));
    EXPECT_TRUE(isDark(colourAt(image, 128, 256))) << describe(colourAt(image, 128, 256));
    EXPECT_EQ(describe(colourAt(image, 254, 128)), describe(ColorValue::toQColor(UsedColor)));
}

// At ratio 2 the outline is one logical pixel, two physical ones, sharp
// against the fill inside it.
TEST(EllipseSharpness, OutlineIsTwoPhysicalPixelsAtRatio2)
{
    DeviceContext context = makeContext(BoxSide, BoxSide, 2.0);
    GraphicAPI::Ellipse(&context, 0, 0, BoxSide, BoxSide);
    const QImage& image = context.image();
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
    DeviceContext context = makeContext(c.right, c.bottom, 1.0);
    const double cx = c.right / 2.0;
    const double cy = c.bottom / 2.0;
    const auto at = [](double v) { return static_cast<std::int32_t>(std::lround(v)); };
    GraphicAPI::Pie(&context, 0, 0, c.right, c.bottom, at(cx + c.ray1x), at(cy + c.ray1y), at(cx + c.ray2x),
                    at(cy + c.ray2y));

    // Six tenths of the way from the centre to the ellipse along the probe.
    const double t = c.probeDegrees * std::numbers::pi / 180.0;
    const double a = c.right / 2.0;
    const double b = c.bottom / 2.0;
    const double reach = 0.6 / std::sqrt(std::cos(t) * std::cos(t) / (a * a) + std::sin(t) * std::sin(t) / (b * b));
    const QColor seen = colourAt(context.image(), cx + reach * std::cos(t) - 0.5, cy - reach * std::sin(t) - 0.5);
    EXPECT_EQ(describe(seen), c.inside ? describe(ColorValue::toQColor(UsedColor)) : "#ffffff");
}

INSTANTIATE_TEST_SUITE_P(Table, PieTest, testing::ValuesIn(pieCases), RowName{});

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return QObject::eventFilter(watched, event);
    }
};

TEST(PictureBoxRefresh, RepaintsOnlyWhenThePictureChanges)
{
    PictureBox picture;
    picture.resize(BoxSide, BoxSide);
    PaintCounter counter;
    picture.installEventFilter(&counter);
    picture.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&picture));

    const auto redraw = [&](std::int64_t free) {
        picture.Cls();
        DrawUsageChart(picture, Currency::fromStored(1'000'000), Currency::fromStored(free), boxStyle());
        QApplication::processEvents();
        QApplication::processEvents();
    };
    redraw(500'000);
    const int afterFirst = counter.count;
    EXPECT_GT(afterFirst, 0);
    redraw(500'000);
    redraw(500'000);
    EXPECT_EQ(counter.count, afterFirst);
    redraw(250'000);
    EXPECT_EQ(counter.count, afterFirst + 1);
    picture.Cls();
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(counter.count, afterFirst + 2);
}

TEST(PictureBoxImage, FollowsTheSizeAndClears)
{
    PictureBox picture;
    picture.resize(BoxSide, BoxSide);
    picture.Cls();
    DrawUsageChart(picture, Currency::fromStored(2), Currency::fromStored(1), boxStyle());
    EXPECT_EQ(picture.ScaleWidth(), 257.0F);
    picture.resize(100, 50);
    // A hidden widget hears of its new size only when shown; the context it
    // hands out is up to date all the same.
    ASSERT_NE(picture.hDC(), nullptr);
    const double ratio = picture.devicePixelRatioF();
    EXPECT_EQ(picture.ScaleWidth(), 100.0F);
    EXPECT_EQ(picture.ScaleHeight(), 50.0F);
    EXPECT_EQ(picture.image().size(), QSize(static_cast<int>(100 * ratio), static_cast<int>(50 * ratio)));
    EXPECT_EQ(describe(colourAt(picture.image(), 50, 25)), describe(picture.palette().color(QPalette::Button)));
}

// The second run of this suite sets QT_SCALE_FACTOR=2: make sure it took.
TEST(PictureBoxImage, HasTheScreensRatio)
{
    PictureBox picture;
    picture.resize(BoxSide, BoxSide);
    const double expected = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                                ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                                : picture.devicePixelRatioF();
    EXPECT_EQ(picture.devicePixelRatioF(), expected);
    picture.Cls();
    EXPECT_EQ(picture.image().devicePixelRatio(), expected);
    EXPECT_EQ(picture.image().width(), static_cast<int>(BoxSide * expected));
}

} // namespace
