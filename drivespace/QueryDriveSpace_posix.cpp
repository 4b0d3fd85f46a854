#include "drivespace/GetDiskSpace.h"
#include "drivespace/VolumeQuery.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include <cstring>

namespace {

// True when path is the root of a mounted file system. A mount point whose file
// system has gone away is an ordinary directory of the file system below; its
// figures belong to that other volume and must not be reported as this drive's.
bool isMountRoot(const char* path)
{
    // The process's root is the root of all it can see, even where it is only a
    // directory of a larger volume (a chroot): statfs answers for that volume.
    if (std::strcmp(path, "/") == 0)
        return true;
    // The kernel marks a mount root itself (Linux 5.8 on; the oldest kernel
    // this program runs on has it): a path looked up on its own, without
    // triggering an automount.
    struct statx self {};
    return statx(AT_FDCWD, path, AT_NO_AUTOMOUNT, STATX_INO, &self) == 0 &&
           (self.stx_attributes_mask & self.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
}

} // namespace

bool QueryVolume(const char* rootPath, VolumeCounts& counts)
{
    struct statfs volume {};
    if (!isMountRoot(rootPath) || statfs(rootPath, &volume) != 0)
        return false;
    // Counted in fragments where the file system has them, as statvfs does.
    // f_bfree: the total free, including the blocks reserved for the superuser;
    // f_bavail: those an ordinary user may write.
    const auto blockSize = static_cast<std::uint64_t>(volume.f_frsize != 0 ? volume.f_frsize : volume.f_bsize);
    counts = VolumeCountsOf(volume.f_blocks, volume.f_bfree, volume.f_bavail, blockSize);
    return true;
}

namespace GetDiskSpace {

void QueryDriveSpace(DriveAnswer& answer, const std::string& rootPath)
{
    VolumeCounts counts;
    if (!QueryVolume(rootPath.c_str(), counts)) {
        answer.capacity = FailureValue;
        return;
    }
    answer = {counts.capacity, counts.free, counts.available};
}

} // namespace GetDiskSpace
