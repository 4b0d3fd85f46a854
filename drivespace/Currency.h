#pragma once

#include <compare>
#include <cstdint>

// A byte count: a signed 64-bit integer read as a fixed-point number with four
// decimals. Byte counts are stored unchanged, so the stored integer is the bytes
// and the nominal value bytes / 10,000. Arithmetic on the stored integers is exact.
class Currency {
public:
    static constexpr std::int64_t Scale = 10'000;

    constexpr Currency() = default;

    [[nodiscard]] static constexpr Currency fromStored(std::int64_t stored) { return Currency{stored}; }

    [[nodiscard]] constexpr std::int64_t stored() const { return m_stored; }

    // Used is capacity minus free, both in [0, 2^63 - 1]: this cannot overflow.
    [[nodiscard]] friend constexpr Currency operator-(Currency a, Currency b)
    {
        return Currency{a.m_stored - b.m_stored};
    }

    friend constexpr auto operator<=>(Currency, Currency) = default;

private:
    constexpr explicit Currency(std::int64_t stored) : m_stored(stored) {}

    std::int64_t m_stored = 0;
};

// The nominal value -1 (stored -10,000), which no real drive reports: the
// capacity of a drive that could not be queried.
inline constexpr Currency FailureValue = Currency::fromStored(-Currency::Scale);
