#include "app/behaviour/FocusMark.h"
#include "tests/RowName.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// Colours are 0x00BBGGRR.
constexpr std::uint32_t Black = 0x000000;
constexpr std::uint32_t White = 0xFFFFFF;
constexpr std::uint32_t LightFace = 0xF0F0F0;
constexpr std::uint32_t DarkFace = 0x202020;
constexpr std::uint32_t DefaultUsed = 0x7472C9;

struct MarkRow {
    const char* name;
    bool label; // a label sized to its text
    int dotsPerInch;
    std::uint32_t around;
    std::uint32_t within;
    FocusMark::Rings expected; // outermost first
};

// The outer ring stands out from around, the band inside it from within; the
// band is two pixels at 96 DPI, scaled to the nearest pixel, never thinner.
const MarkRow markRows[] = {
    {"LightFaceDarkSwatch", false, 96, LightFace, Black, {Black, White, White}},
    {"DarkFaceLightSwatch", false, 96, DarkFace, White, {White, Black, Black}},
    {"MidColouredSwatch", false, 96, LightFace, DefaultUsed, {Black, Black, Black}},
    {"At120DpiAHalfRoundsUp", false, 120, LightFace, Black, {Black, White, White, White}},
    {"At144Dpi", false, 144, LightFace, Black, {Black, White, White, White}},
    {"At192Dpi", false, 192, DarkFace, DarkFace, {White, White, White, White, White}},
    {"BelowNinetySixDpiNeverThinner", false, 48, LightFace, Black, {Black, White, White}},
    {"LabelHasTheOuterRingAlone", true, 192, DarkFace, Black, {White}},
};

class FocusMarkTest : public testing::TestWithParam<MarkRow> {};

TEST_P(FocusMarkTest, RingsStandOutFromAroundAndWithin)
{
    const MarkRow& row = GetParam();
    EXPECT_EQ(row.label ? FocusMark::labelRings(row.around) : FocusMark::rings(row.dotsPerInch, row.around, row.within),
              row.expected);
}

INSTANTIATE_TEST_SUITE_P(Marks, FocusMarkTest, testing::ValuesIn(markRows), RowName{});

} // namespace
