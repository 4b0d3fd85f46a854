#include "drivespace/GetDiskSpace.h"

#include <charconv>
#include <cstdint>

namespace GetDiskSpace {

std::string FormatByteCount(Currency count)
{
    const std::int64_t stored = count.stored();
    // The magnitude in unsigned arithmetic, so that -2^63 has one too.
    const std::uint64_t magnitude =
        stored < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(stored) : static_cast<std::uint64_t>(stored);

    char digits[20];
    const auto digitsEnd = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
    const auto digitCount = digitsEnd - digits;

    std::string text;
    text.reserve(static_cast<std::size_t>(digitCount + digitCount / 3 + 1));
    if (stored < 0)
        text.push_back('-');
    for (auto i = 0; i < digitCount; ++i) {
        if (i > 0 && (digitCount - i) % 3 == 0)
            text.push_back(',');
        text.push_back(digits[i]);
    }
    return text;
}

} // namespace GetDiskSpace
