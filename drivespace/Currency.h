#pragma once

#include <compare>
#include <cstdint>

// A byte count: a signed 64-bit integer read as a fixed-point number with four
// decimal places. The operating system's byte counts are stored into the 64 bits
// unchanged, so the stored integer is the number of bytes and the nominal value
// is bytes / 10,000. Arithmetic works on the stored integers and is exact.
class Currency {
public:
    static constexpr std::int64_t Scale = 10'000;

    constexpr Currency() = default;

    [[nodiscard]] static constexpr Currency fromStored(std::int64_t stored) { return Currency{stored}; }

    [[nodiscard]] constexpr std::int64_t stored() const { return m_stored; }

    // Used space is capacity minus free. Callers subtract counts that the
    // operating system reported, both in [0, 2^63 - 1], so this cannot overflow.
    [[nodiscard]] friend constexpr Currency operator-(Currency a, Currency b)
    {
        return Currency{a.m_stored - b.m_stored};
    }

    friend constexpr auto operator<=>(Currency, Currency) = default;

private:
    constexpr explicit Currency(std::int64_t stored) : m_stored(stored) {}

    std::int64_t m_stored = 0;
};

// The nominal value -1 (stored -10,000): the capacity of a drive that could not
// be queried. No real drive reports it.
inline constexpr Currency FailureValue = Currency::fromStored(-Currency::Scale);
