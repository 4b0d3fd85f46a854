#include "app/behaviour/WindowPlacement.h"
#include "tests/RowName.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using WindowPlacement::Rect;

// A screen of 800 x 600 at the origin, and the window's frame: 321 x 377 pixels.
constexpr Rect Screen{0, 0, 800, 600};
constexpr int Width = 321;
constexpr int Height = 377;

struct ReachCase {
    const char* name;
    Rect frame;
    std::vector<Rect> areas;
    bool reachable;
};

const ReachCase reachCases[] = {
    {"WhollyOnTheScreen", {100, 100, Width, Height}, {Screen}, true},
    // Left -300 twips, top 1200 twips: partly off the left edge, as stored.
    {"PartlyOffTheLeftEdge", {-20, 80, Width, Height}, {Screen}, true},
    // X=-4800, Y=-5640 twips: one pixel of the corner on the screen.
    {"OnePixelOfTheCorner", {-320, -376, Width, Height}, {Screen}, false},
    {"GrabWidthAtTheRightEdge", {800 - 64, 100, Width, Height}, {Screen}, true},
    {"OneLessThanGrabWidth", {800 - 63, 100, Width, Height}, {Screen}, false},
    {"TitleBarOnePixelAboveTheTop", {100, -1, Width, Height}, {Screen}, false},
    {"GrabHeightAtTheBottom", {100, 600 - 16, Width, Height}, {Screen}, true},
    {"TitleBarUnderATopPanel", {100, 10, Width, Height}, {{0, 30, 800, 570}}, false},
    {"NarrowWindowWhollyOn", {790 - 40, 0, 40, Height}, {Screen}, true},
    {"OnTheSecondScreen", {-600, -400, Width, Height}, {Screen, {-800, -600, 800, 600}}, true},
    // Half the grab width on each of two screens is no grip on either.
    {"SplitBetweenTwoScreens", {800 - 32, 100, 64, Height}, {Screen, {800, 0, 800, 600}}, false},
    {"NoScreen", {100, 100, Width, Height}, {}, false},
};

class TitleBarReachableTest : public testing::TestWithParam<ReachCase> {};

TEST_P(TitleBarReachableTest, NeedsAGrabbableStripOnOneScreen)
{
    const auto& c = GetParam();
    EXPECT_EQ(WindowPlacement::TitleBarReachable(c.frame, c.areas), c.reachable);
}

INSTANTIATE_TEST_SUITE_P(Table, TitleBarReachableTest, testing::ValuesIn(reachCases), RowName{});

} // namespace
