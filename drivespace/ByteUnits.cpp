#include "drivespace/ByteUnits.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstdlib>

namespace {

// One decimal, rounded to nearest, in every locale.
std::string oneDecimal(double value)
{
    std::array<char, 32> buffer{};
    const auto end =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 1).ptr;
    return std::string(buffer.data(), end);
}

} // namespace

namespace ByteUnits {

std::string BinaryUnits(Currency count)
{
    static constexpr std::array<const char*, 6> units = {"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
    const std::int64_t bytes = count.stored();
    if (std::abs(static_cast<double>(bytes)) < 1024.0)
        return std::to_string(bytes) + " bytes";
    double scaled = static_cast<double>(bytes) / 1024.0;
    std::size_t unit = 0;
    // Move up a unit while the one-decimal text would read 1024.0 or more.
    while (unit + 1 < units.size() && std::abs(scaled) >= 1023.95) {
        scaled /= 1024.0;
        ++unit;
    }
    return oneDecimal(scaled) + ' ' + units[unit];
}

std::string ShareOf(Currency part, Currency whole)
{
    if (whole.stored() <= 0)
        return {};
    const double percent = static_cast<double>(part.stored()) / static_cast<double>(whole.stored()) * 100.0;
    return oneDecimal(percent) + " %";
}

} // namespace ByteUnits
