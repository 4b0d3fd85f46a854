#include "drivespace/GetDiskSpace.h"
#include "drivespace/VolumeCounts.h"
#include "tests/RowName.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <limits>
#include <string>

namespace {

struct FormatCase {
    const char* name;
    std::int64_t stored;
    const char* text;
};

constexpr FormatCase formatCases[] = {
    {"Zero", 0, "0"},
    {"OneDigit", 5, "5"},
    {"BelowThousand", 999, "999"},
    {"Thousand", 1'000, "1,000"},
    {"TenThousand", 10'000, "10,000"},
    {"Million", 1'000'000, "1,000,000"},
    {"SevenDigits", 1'234'567, "1,234,567"},
    {"HalfTerabyte", 500'000'000'000, "500,000,000,000"},
    {"TwelveDigits", 536'870'912'000, "536,870,912,000"},
    {"Largest", std::numeric_limits<std::int64_t>::max(), "9,223,372,036,854,775,807"},
    {"MinusOne", -1, "-1"},
    {"MinusBelowThousand", -999, "-999"},
    {"MinusFourDigits", -4'096, "-4,096"},
    {"FailureValue", -10'000, "-10,000"},
    {"MinusSixDigits", -123'456, "-123,456"},
    {"Smallest", std::numeric_limits<std::int64_t>::min(), "-9,223,372,036,854,775,808"},
};

class FormatByteCountTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatByteCountTest, GroupsTheStoredIntegerByThrees)
{
    const auto& c = GetParam();
    EXPECT_EQ(GetDiskSpace::FormatByteCount(Currency::fromStored(c.stored)), c.text);
}

// The text must not follow the user's number settings: a locale whose decimal
// separator is a comma and whose grouping is '.' changes nothing.
TEST_P(FormatByteCountTest, IsTheSameUnderACommaDecimalLocale)
{
    const auto& c = GetParam();
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "the locale de_DE.UTF-8 is not generated on this machine (locale-gen de_DE.UTF-8)";
    const std::string text = GetDiskSpace::FormatByteCount(Currency::fromStored(c.stored));
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(text, c.text);
}

INSTANTIATE_TEST_SUITE_P(Table, FormatByteCountTest, testing::ValuesIn(formatCases), RowName{});

// Counts where they enter: free never above capacity, and counts past 2^63 - 1
// scaled down together so that the used share stays right.
struct VolumeCountCase {
    const char* name;
    std::uint64_t totalBlocks;
    std::uint64_t freeBlocks;
    std::uint64_t blockSize;
    std::int64_t capacity;
    std::int64_t free;
};

constexpr VolumeCountCase volumeCountCases[] = {
    {"Ordinary", 1'000, 250, 4'096, 4'096'000, 1'024'000},
    {"FreeAboveCapacityIsCapacity", 1'000, 2'000, 4'096, 4'096'000, 4'096'000},
    {"LargestThatFits", 0x7FFF'FFFF'FFFF'FFFF, 0x7FFF'FFFF'FFFF'FFFF, 1, 0x7FFF'FFFF'FFFF'FFFF, 0x7FFF'FFFF'FFFF'FFFF},
    // 2^64 bytes, 93.75 % used: scaled by 4, not each clamped to 2^63 - 1.
    {"TwoToThe64KeepsItsShare", 1ULL << 62, 1ULL << 58, 4, 1LL << 62, 1LL << 58},
    {"ProductPast64BitsKeepsItsShare", 0xFFFF'FFFF'FFFF'FFFF, 0x7FFF'FFFF'FFFF'FFFF, 4'096, 0x7FFF'FFFF'FFFF'FFFF,
     0x3FFF'FFFF'FFFF'FFFF},
};

class VolumeCountTest : public testing::TestWithParam<VolumeCountCase> {};

TEST_P(VolumeCountTest, FitsTheCountsTogether)
{
    const auto& c = GetParam();
    const VolumeCounts counts = VolumeCountsOf(c.totalBlocks, c.freeBlocks, c.freeBlocks, c.blockSize);
    EXPECT_EQ(counts.capacity.stored(), c.capacity);
    EXPECT_EQ(counts.free.stored(), c.free);
}

INSTANTIATE_TEST_SUITE_P(Table, VolumeCountTest, testing::ValuesIn(volumeCountCases), RowName{});

// What the user may write, fitted as free is: never above it, scaled with it.
struct AvailableCase {
    const char* name;
    std::uint64_t totalBlocks;
    std::uint64_t freeBlocks;
    std::uint64_t availableBlocks;
    std::uint64_t blockSize;
    std::int64_t available;
};

constexpr AvailableCase availableCases[] = {
    {"ReserveKeptApart", 1'000, 250, 200, 4'096, 819'200},
    {"AboveFreeIsFree", 1'000, 250, 300, 4'096, 1'024'000},
    {"AboveCapacityIsCapacity", 1'000, 2'000, 3'000, 4'096, 4'096'000},
    // 2^64 bytes scaled by 4, as the capacity and free are.
    {"ScaledWithTheCapacity", 1ULL << 62, 1ULL << 58, 1ULL << 57, 4, 1LL << 57},
};

class AvailableCountTest : public testing::TestWithParam<AvailableCase> {};

TEST_P(AvailableCountTest, FitsLikeFree)
{
    const auto& c = GetParam();
    EXPECT_EQ(VolumeCountsOf(c.totalBlocks, c.freeBlocks, c.availableBlocks, c.blockSize).available.stored(),
              c.available);
}

INSTANTIATE_TEST_SUITE_P(Table, AvailableCountTest, testing::ValuesIn(availableCases), RowName{});

} // namespace
