#include "settings/StoredText.h"
#include "tests/RowName.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace {

struct NumericCase {
    const char* name;
    std::string text;
    std::optional<double> value;
};

const std::string tenThousandNines(10'000, '9');

const NumericCase numericCases[] = {
    {"Integer", "1440", 1440.0},
    {"Colour", "7631561", 7631561.0},
    {"Negative", "-300", -300.0},
    {"LeadingPlus", "+720", 720.0},
    {"Fraction", "1440.5", 1440.5},
    {"PointFirst", ".25", 0.25},
    {"NegativePointFirst", "-.5", -0.5},
    {"TrailingPoint", "12.", 12.0},
    {"SecondPointStops", "1.2.3", 1.2},
    {"LeadingZeros", "000123", 123.0},
    {"BlanksAround", "  42  ", 42.0},
    {"BlanksInsideDigits", "1 2 3", 123.0},
    {"BlanksAfterSign", "-  7", -7.0},
    {"StreetAddress", "  1615 198th Street N.E.", 1615198.0},
    {"TabsLineFeedsAndCr", "\t1\n2\r\n3\t", 123.0},
    {"ExponentE", "1.5E3", 1500.0},
    {"ExponentD", "1.5D3", 1500.0},
    {"ExponentLowerCase", "2e2", 200.0},
    {"ExponentLowerD", "2d2", 200.0},
    {"ExponentPlus", "2E+2", 200.0},
    {"ExponentMinus", "25E-1", 2.5},
    {"ExponentWithoutDigits", "1E", 1.0},
    {"ExponentSignWithoutDigits", "1E-", 1.0},
    {"BlanksInExponent", "1 E - 2", 0.01},
    {"ExponentStopsAtPoint", "1E2.5", 100.0},
    {"ExponentAlone", "E5", 0.0},
    {"Hex", "&HFF", 255.0},
    {"HexLowerCase", "&hff", 255.0},
    {"HexSixteenBits", "&HFFFF", 65535.0},
    {"HexThirtyTwoBits", "&HFFFFFFFF", 4294967295.0},
    {"HexColour", "&H7472C9", 7631561.0},
    {"HexBlankAfterPrefix", "&H  FF", 255.0},
    {"HexInvalidDigitStops", "&HFG", 15.0},
    {"HexWithoutDigits", "&H", 0.0},
    {"Octal", "&O17", 15.0},
    {"OctalLowerCase", "&o17", 15.0},
    {"OctalBlankAfterPrefix", "&O 777", 511.0},
    {"OctalEightStops", "&O178", 15.0},
    {"OctalSixtyFourBits", "&O1777777777777777777777", 18446744073709551616.0},
    {"AmpersandOtherLetter", "&B101", 0.0},
    {"SignBeforeHex", "-&HFF", 0.0},
    {"Empty", "", 0.0},
    {"OnlyBlanks", " \t\n", 0.0},
    {"Letters", "abc", 0.0},
    {"SignAlone", "-", 0.0},
    {"PointAlone", ".", 0.0},
    {"TwoSigns", "+-5", 0.0},
    {"Comma", "1,440", 1.0},
    {"ExponentOverflow", "1E999", std::nullopt},
    {"NegativeExponentOverflow", "-1D400", std::nullopt},
    {"HugeExponentDigits", "1E99999999999999999999", std::nullopt},
    {"LargestDouble", "1.7976931348623157E308", std::numeric_limits<double>::max()},
    {"JustAboveLargestDouble", "1.7976931348623159E308", std::nullopt},
    {"Underflow", "1E-999", 0.0},
    {"HugeNegativeExponentDigits", "1E-99999999999999999999", 0.0},
    {"SmallestSubnormal", "4.9406564584124654E-324", std::numeric_limits<double>::denorm_min()},
    {"ZeroWithHugeExponent", "0E99999", 0.0},
    // Exact rounding of long digit strings: the nearest double, not a sum of
    // rounded products.
    {"TwentyDigits", "12345678901234567890", 12345678901234567168.0},
    {"LongFraction", "0.1000000000000000055511151231257827021181583404541015625", 0.1},
    {"TenThousandNines", tenThousandNines, std::nullopt},
    {"TenThousandNinesScaledDown", tenThousandNines + "E-10000", 1.0},
    {"TwoToTheSixtyFour", "18446744073709551616", 18446744073709551616.0},
};

class NumericValueTest : public testing::TestWithParam<NumericCase> {};

TEST_P(NumericValueTest, ReadsTheNumberAtTheStartOfTheText)
{
    const auto& c = GetParam();
    EXPECT_EQ(StoredText::NumericValue(c.text), c.value);
}

INSTANTIATE_TEST_SUITE_P(Table, NumericValueTest, testing::ValuesIn(numericCases), RowName{});

// A comma-decimal locale must not make '.' stop the number or ',' continue it.
TEST(NumericValueLocaleTest, IgnoresACommaDecimalLocale)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "the locale de_DE.UTF-8 is not generated on this machine (locale-gen de_DE.UTF-8)";
    const auto point = StoredText::NumericValue("1440.5");
    const auto comma = StoredText::NumericValue("1440,5");
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(point, 1440.5);
    EXPECT_EQ(comma, 1440.0);
}

struct NearestCase {
    const char* name;
    double value;
    std::optional<std::int32_t> nearest;
};

const NearestCase nearestCases[] = {
    {"Whole", 7631561.0, 7631561},
    {"HalfToEvenBelow", 7631560.5, 7631560},
    {"HalfToEvenAbove", 7631561.5, 7631562},
    {"BelowHalf", 2.4999999, 2},
    {"AboveHalf", 2.5000001, 3},
    {"ZeroPointFive", 0.5, 0},
    {"MinusZeroPointFive", -0.5, 0},
    {"MinusOnePointFive", -1.5, -2},
    {"MinusTwoPointFive", -2.5, -2},
    {"MinusTwoPointSix", -2.6, -3},
    {"Highest", 2147483647.0, 2147483647},
    {"HighestPlusFraction", 2147483647.4, 2147483647},
    {"HighestPlusHalf", 2147483647.5, std::nullopt},
    {"HighestMinusHalf", 2147483646.5, 2147483646},
    {"Lowest", -2147483648.0, -2147483648},
    {"LowestMinusHalf", -2147483648.5, -2147483648},
    {"LowestMinusMore", -2147483648.6, std::nullopt},
    {"TwoToThe31", 2147483648.0, std::nullopt},
    {"Infinity", std::numeric_limits<double>::infinity(), std::nullopt},
    {"MinusInfinity", -std::numeric_limits<double>::infinity(), std::nullopt},
    {"NaN", std::numeric_limits<double>::quiet_NaN(), std::nullopt},
};

class NearestInt32Test : public testing::TestWithParam<NearestCase> {};

TEST_P(NearestInt32Test, RoundsHalvesToEvenWithinThe32BitRange)
{
    const auto& c = GetParam();
    EXPECT_EQ(StoredText::NearestInt32(c.value), c.nearest);
}

INSTANTIATE_TEST_SUITE_P(Table, NearestInt32Test, testing::ValuesIn(nearestCases), RowName{});

struct ToSingleCase {
    const char* name;
    double value;
    std::optional<float> single;
};

const ToSingleCase toSingleCases[] = {
    {"Whole", 1440.0, 1440.0F},
    {"Negative", -300.0, -300.0F},
    {"RoundsToNearestSingle", 16'777'217.0, 16'777'216.0F},
    {"LargestSingle", static_cast<double>(std::numeric_limits<float>::max()), std::numeric_limits<float>::max()},
    {"BeyondTheRange", 1E39, std::nullopt},
    {"FarBeyondTheRange", -1E300, std::nullopt},
    {"NaN", std::numeric_limits<double>::quiet_NaN(), std::nullopt},
    {"Infinity", std::numeric_limits<double>::infinity(), std::nullopt},
};

class ToSingleTest : public testing::TestWithParam<ToSingleCase> {};

TEST_P(ToSingleTest, KeepsPositionsWithinTheSingleRange)
{
    EXPECT_EQ(StoredText::ToSingle(GetParam().value), GetParam().single);
}

INSTANTIATE_TEST_SUITE_P(Table, ToSingleTest, testing::ValuesIn(toSingleCases), RowName{});

struct SingleCase {
    const char* name;
    float value;
    const char* text;
};

const SingleCase singleCases[] = {
    {"Zero", 0.0f, "0"},
    {"NegativeZero", -0.0f, "0"},
    {"Whole", 1440.0f, "1440"},
    {"Negative", -300.0f, "-300"},
    {"Half", 1440.5f, "1440.5"},
    {"NegativeFraction", -0.25f, "-0.25"},
    {"OneTenth", 0.1f, "0.1"},
    {"SevenDigits", 1234567.0f, "1234567"},
    {"EighthDigitRounded", 1234567.5f, "1234568"},
    {"FractionRoundedToSeven", 3.14159274f, "3.141593"},
    {"TenMillion", 1.0e7f, "1E+07"},
    {"HundredMillion", 1.0e8f, "1E+08"},
    {"LargeWithFraction", 1.5e9f, "1.5E+09"},
    {"Small", 1.5e-5f, "1.5E-05"},
    {"SmallestPlain", 0.0001f, "0.0001"},
    {"LargestSingle", std::numeric_limits<float>::max(), "3.402823E+38"},
    {"SmallestNormal", std::numeric_limits<float>::min(), "1.175494E-38"},
};

class SingleTextTest : public testing::TestWithParam<SingleCase> {};

TEST_P(SingleTextTest, WritesAtMostSevenDigitsWithAPoint)
{
    const auto& c = GetParam();
    EXPECT_EQ(StoredText::SingleText(c.value), c.text);
}

TEST_P(SingleTextTest, IsTheSameUnderACommaDecimalLocale)
{
    const auto& c = GetParam();
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "the locale de_DE.UTF-8 is not generated on this machine (locale-gen de_DE.UTF-8)";
    const std::string text = StoredText::SingleText(c.value);
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(text, c.text);
}

INSTANTIATE_TEST_SUITE_P(Table, SingleTextTest, testing::ValuesIn(singleCases), RowName{});

// Every whole position in twips that a window can take is written at close
// and read back at the next start unchanged.
TEST(SingleTextRoundTripTest, WholeTwipsReadBackUnchanged)
{
    for (int twips = -100'000; twips <= 100'000; ++twips) {
        const std::string text = StoredText::SingleText(static_cast<float>(twips));
        ASSERT_EQ(StoredText::NumericValue(text), static_cast<double>(twips)) << text;
    }
}

} // namespace
