#include "drivespace/GetDiskSpace.h"
#include "drivespace/VolumeCounts.h"

#include <windows.h>

#include <string>

namespace GetDiskSpace {

void QueryDriveSpace(Currency& capacity, Currency& free, const std::string& rootPath)
{
    // Root paths are ASCII ("C:\"); the wide form of the call takes them without
    // a detour through the 8-bit code page.
    const std::wstring widePath(rootPath.begin(), rootPath.end());
    ULARGE_INTEGER availableToCaller{};
    ULARGE_INTEGER totalBytes{};
    ULARGE_INTEGER totalFreeBytes{};
    if (!GetDiskFreeSpaceExW(widePath.c_str(), &availableToCaller, &totalBytes, &totalFreeBytes)) {
        capacity = FailureValue;
        return;
    }
    // The total free bytes of the volume, not the part available to this user.
    const VolumeCounts counts = VolumeCountsOf(totalBytes.QuadPart, totalFreeBytes.QuadPart, 1);
    capacity = counts.capacity;
    free = counts.free;
}

} // namespace GetDiskSpace
