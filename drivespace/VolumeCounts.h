#pragma once

#include "drivespace/Currency.h"

#include <cstdint>
#include <limits>

// A volume's capacity and free bytes as the rest of the program may rely on
// them: free at most capacity, both within the byte count's range.
struct VolumeCounts {
    Currency capacity;
    Currency free;
    // What this user may write: at most free.
    Currency available;
};

// The counts a file system reports, in blocks of blockSize bytes. A broken file
// system may report more free blocks than it has: free is then the capacity,
// and likewise available is at most free. A product past 2^63 - 1 does not fit
// a byte count: all are halved together until the capacity fits, so that the
// used share stays what it was. Plain arithmetic only, so that a forked child
// may call it.
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
