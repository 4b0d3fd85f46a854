#pragma once

#include "drivespace/Currency.h"

#include <cstdint>
#include <limits>

// A volume's counts as the program relies on them: available (what this user
// may write) at most free, free at most capacity, all within the byte count's range.
struct VolumeCounts {
    Currency capacity;
    Currency free;
    Currency available;
};

// The counts a file system reports in blocks of blockSize bytes. More free than
// total (a broken file system) is cut to the capacity, likewise available to
// free. Past 2^63 - 1 all are halved together until the capacity fits, keeping
// the used share. Plain arithmetic only: a forked child may call it.
[[nodiscard]] constexpr VolumeCounts VolumeCountsOf(std::uint64_t totalBlocks, std::uint64_t freeBlocks,
                                                    std::uint64_t availableBlocks, std::uint64_t blockSize)
{
    __extension__ typedef unsigned __int128 Wide;
    freeBlocks = freeBlocks < totalBlocks ? freeBlocks : totalBlocks;
    Wide total = Wide{totalBlocks} * blockSize;
    Wide free = Wide{freeBlocks} * blockSize;
    Wide available = Wide{availableBlocks < freeBlocks ? availableBlocks : freeBlocks} * blockSize;
    constexpr Wide largest = std::numeric_limits<std::int64_t>::max();
    while (total > largest) {
        total >>= 1;
        free >>= 1;
        available >>= 1;
    }
    return {Currency::fromStored(static_cast<std::int64_t>(total)),
            Currency::fromStored(static_cast<std::int64_t>(free)),
            Currency::fromStored(static_cast<std::int64_t>(available))};
}
