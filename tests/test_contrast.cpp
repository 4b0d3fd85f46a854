#include "app/behaviour/Contrast.h"
#include "tests/RowName.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// Colours are 0x00BBGGRR.
constexpr std::uint32_t Black = 0x000000;
constexpr std::uint32_t White = 0xFFFFFF;
constexpr std::uint32_t Red = 0x0000FF;
constexpr std::uint32_t PureBlue = 0xFF0000;
constexpr std::uint32_t Yellow = 0x00FFFF;
constexpr std::uint32_t LightBlue = 0xF8B48A;
// Windows' own link colour in its standard scheme: red 0, green 102, blue 204.
constexpr std::uint32_t StandardHotLight = 0xCC6600;

struct RatioCase {
    const char* name;
    std::uint32_t one;
    std::uint32_t other;
    double expected;
};

// The greys 0x767676 and 0x777777 lie either side of 4.5 : 1 on white; red and
// blue tell the channels apart (red weighs about three times what blue does).
const RatioCase ratioCases[] = {
    {"BlackOnWhite", Black, White, 21.0},          {"WhiteOnBlack", White, Black, 21.0},
    {"SameColour", 0x7472C9, 0x7472C9, 1.0},       {"Grey767676OnWhite", 0x767676, White, 4.542},
    {"Grey777777OnWhite", 0x777777, White, 4.478}, {"RedOnBlack", Red, Black, 5.252},
    {"BlueOnBlack", PureBlue, Black, 2.444},
};

class ContrastRatioTest : public testing::TestWithParam<RatioCase> {};

TEST_P(ContrastRatioTest, WeighsTheChannelsAsTheEyeDoes)
{
    EXPECT_NEAR(Contrast::ratio(GetParam().one, GetParam().other), GetParam().expected, 0.001);
}

INSTANTIATE_TEST_SUITE_P(Table, ContrastRatioTest, testing::ValuesIn(ratioCases), RowName{});

using Pick = std::uint32_t (*)(std::uint32_t ink, std::uint32_t background);
const Pick contrasting = [](std::uint32_t, std::uint32_t background) { return Contrast::contrastingInk(background); };
const Pick readableInk = Contrast::readableInk;
const Pick readableLink = Contrast::readableLink;

struct InkCase {
    const char* name;
    Pick pick;
    std::uint32_t ink;
    std::uint32_t background;
    std::uint32_t expected;
};

// The high-contrast schemes' link colours (yellow on black, dark blue on
// white, light violet on black) are kept; the standard link colour on a dark
// face, and the links' design blue on black, are not.
const InkCase inkCases[] = {
    {"WhiteOnBlack", contrasting, 0, Black, White},
    {"BlackOnWhite", contrasting, 0, White, Black},
    {"WhiteOnGrey757575", contrasting, 0, 0x757575, White},
    {"BlackOnGrey767676", contrasting, 0, 0x767676, Black},
    {"WhiteOnPureBlue", contrasting, 0, PureBlue, White},
    {"BlackOnYellow", contrasting, 0, Yellow, Black},
    {"InkKeptWhereReadable", readableInk, 0xF0F0F0, 0x202020, 0xF0F0F0},
    {"BlackInkOnDarkFaceTurnsWhite", readableInk, Black, 0x202020, White},
    {"LinkKeptAtGrey767676OnWhite", readableLink, 0x767676, White, 0x767676},
    {"LinkGrey777777OnWhiteTurnsBlue", readableLink, 0x777777, White, PureBlue},
    {"HighContrastBlackLink", readableLink, Yellow, Black, Yellow},
    {"HighContrastWhiteLink", readableLink, 0x9F0000, White, 0x9F0000},
    {"HighContrastOneLink", readableLink, 0xFF8080, Black, 0xFF8080},
    {"StandardLinkOnDarkFace", readableLink, StandardHotLight, 0x202020, LightBlue},
    {"PureBlueLinkOnBlack", readableLink, PureBlue, Black, LightBlue},
    {"YellowLinkOnWhite", readableLink, Yellow, White, PureBlue},
    {"NoBlueReadableOnMidGrey", readableLink, StandardHotLight, 0x808080, Black},
};

class ContrastInkTest : public testing::TestWithParam<InkCase> {};

TEST_P(ContrastInkTest, PicksAnInkThatReads)
{
    const InkCase& row = GetParam();
    const std::uint32_t picked = row.pick(row.ink, row.background);
    EXPECT_EQ(picked, row.expected);
    EXPECT_GE(Contrast::ratio(picked, row.background), Contrast::Readable);
}

INSTANTIATE_TEST_SUITE_P(Table, ContrastInkTest, testing::ValuesIn(inkCases), RowName{});

} // namespace
