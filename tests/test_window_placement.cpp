#include "app/behaviour/WindowPlacement.h"
#include "tests/RowName.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using WindowPlacement::Rect;

// A screen of 800 x 600 at the origin, and the window's frame: 321 x 377 pixels.
constexpr Rect Screen{0, 0, 800, 600};
constexpr Rect RightScreen{800, 0, 1024, 768};
constexpr int Width = 321;
constexpr int Height = 377;

struct FitCase {
    const char* name;
    Rect frame;
    std::vector<Rect> areas;
    int left;
    int top;
};

const FitCase fitCases[] = {
    {"WhollyOnTheScreenStays", {100, 100, Width, Height}, {Screen}, 100, 100},
    {"TouchingTheCornerStays", {800 - Width, 600 - Height, Width, Height}, {Screen}, 800 - Width, 600 - Height},
    {"PartlyOffTheLeftEdgeMovesIn", {-20, 80, Width, Height}, {Screen}, 0, 80},
    {"OnePixelOfTheCornerMovesOn", {-320, -376, Width, Height}, {Screen}, 0, 0},
    {"BelowTheBottomMovesUp", {100, 400, Width, Height}, {Screen}, 100, 600 - Height},
    {"UnderATopPanelMovesDown", {100, 10, Width, Height}, {{0, 30, 800, 570}}, 100, 30},
    {"OffEveryScreenComesToTheNearest", {2500, 100, Width, Height}, {Screen, RightScreen}, 1824 - Width, 100},
    {"MostlyOnTheSecondScreenGoesThere", {700, 500, Width, Height}, {Screen, RightScreen}, 800, 768 - Height},
    {"MostlyOnTheFirstScreenGoesThere", {600, 100, Width, Height}, {Screen, RightScreen}, 800 - Width, 100},
    {"LargerThanTheScreenKeepsItsCornerOn", {50, 50, 900, 700}, {Screen}, 0, 0},
    {"NoScreenLeavesItAlone", {-5000, 100, Width, Height}, {}, -5000, 100},
};

class FitOnScreenTest : public testing::TestWithParam<FitCase> {};

TEST_P(FitOnScreenTest, MovesTheWholeFrameOntoTheNearestScreen)
{
    const auto& c = GetParam();
    const Rect placed = WindowPlacement::fitOnScreen(c.frame, c.areas);
    EXPECT_EQ(placed.left, c.left);
    EXPECT_EQ(placed.top, c.top);
    EXPECT_EQ(placed.width, c.frame.width);
}

INSTANTIATE_TEST_SUITE_P(Table, FitOnScreenTest, testing::ValuesIn(fitCases), RowName{});

} // namespace
