#include "drivespace/GetDiskSpace.h"

#include <cstdint>

namespace GetDiskSpace {

std::string FormatByteCount(Currency count)
{
    const std::int64_t stored = count.stored();
    // The magnitude in unsigned arithmetic, so that -2^63 has one too.
    const std::uint64_t magnitude =
        stored < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(stored) : static_cast<std::uint64_t>(stored);
    const std::string digits = std::to_string(magnitude);
    std::string text = stored < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text.push_back(',');
        text.push_back(digits[i]);
    }
    return text;
}

} // namespace GetDiskSpace
