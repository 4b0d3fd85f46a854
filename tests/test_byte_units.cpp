#include "drivespace/ByteUnits.h"
#include "tests/RowName.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

struct UnitsCase {
    const char* name;
    std::int64_t bytes;
    const char* text;
};

constexpr UnitsCase unitsCases[] = {
    {"Zero", 0, "0 bytes"},
    {"BelowOneKiB", 1'023, "1023 bytes"},
    {"OneKiB", 1'024, "1.0 KiB"},
    {"RoundsUpIntoTheNextUnit", 1'048'575, "1.0 MiB"},
    {"GiB", 125'953'626'112, "117.3 GiB"},
    {"Largest", std::numeric_limits<std::int64_t>::max(), "8.0 EiB"},
    {"Negative", -4'096, "-4.0 KiB"},
    {"SmallNegative", -5, "-5 bytes"},
};

class BinaryUnitsTest : public testing::TestWithParam<UnitsCase> {};

TEST_P(BinaryUnitsTest, ReadsInBinaryUnitsWithOneDecimal)
{
    EXPECT_EQ(ByteUnits::BinaryUnits(Currency::fromStored(GetParam().bytes)), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Table, BinaryUnitsTest, testing::ValuesIn(unitsCases), RowName{});

struct ShareCase {
    const char* name;
    std::int64_t part;
    std::int64_t whole;
    const char* text;
};

constexpr ShareCase shareCases[] = {
    {"Half", 500, 1'000, "50.0 %"}, {"OneDecimal", 452, 1'000, "45.2 %"},       {"All", 1'000, 1'000, "100.0 %"},
    {"EmptyVolume", 0, 0, ""},      {"AboveTheWhole", 1'500, 1'000, "150.0 %"}, {"Negative", -4'096, 10'000, "-41.0 %"},
};

class ShareOfTest : public testing::TestWithParam<ShareCase> {};

TEST_P(ShareOfTest, GivesThePercentageWithOneDecimal)
{
    EXPECT_EQ(ByteUnits::ShareOf(Currency::fromStored(GetParam().part), Currency::fromStored(GetParam().whole)),
              GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Table, ShareOfTest, testing::ValuesIn(shareCases), RowName{});

} // namespace
