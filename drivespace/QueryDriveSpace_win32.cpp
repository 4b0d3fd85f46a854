#include "drivespace/GetDiskSpace.h"
#include "drivespace/VolumeCounts.h"

#include <windows.h>

#include <string>

namespace GetDiskSpace {

void QueryDriveSpace(DriveAnswer& answer, const std::string& rootPath)
{
    // Root paths are ASCII ("C:\"): widened here, not through the 8-bit code page.
    const std::wstring widePath(rootPath.begin(), rootPath.end());
    ULARGE_INTEGER availableToCaller{};
    ULARGE_INTEGER totalBytes{};
    ULARGE_INTEGER totalFreeBytes{};
    if (!GetDiskFreeSpaceExW(widePath.c_str(), &availableToCaller, &totalBytes, &totalFreeBytes)) {
        answer.capacity = FailureValue;
        return;
    }
    // Free: the volume's total; available: what this user may write (less under a quota).
    const VolumeCounts counts =
        VolumeCountsOf(totalBytes.QuadPart, totalFreeBytes.QuadPart, availableToCaller.QuadPart, 1);
    answer = {counts.capacity, counts.free, counts.available};
}

} // namespace GetDiskSpace
