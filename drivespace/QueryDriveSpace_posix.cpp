#include "drivespace/GetDiskSpace.h"
#include "drivespace/VolumeQuery.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include <climits>
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
#if defined(__linux__) && defined(STATX_ATTR_MOUNT_ROOT)
    struct statx self {};
    if (statx(AT_FDCWD, path, AT_NO_AUTOMOUNT, STATX_INO, &self) != 0)
        return false;
    if (self.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT)
        return (self.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
#endif
    // Without the kernel's answer (before Linux 5.8, in a container on an
    // older host, say): a mount root lies on another device than its parent
    // directory, or is its own parent ("/"). Built on the stack: no allocation
    // in a forked child.
    char parentPath[PATH_MAX + 4];
    const std::size_t length = std::strlen(path);
    if (length > PATH_MAX)
        return false;
    std::memcpy(parentPath, path, length);
    std::memcpy(parentPath + length, "/..", 4);
    struct stat here {};
    struct stat parent {};
    if (stat(path, &here) != 0 || stat(parentPath, &parent) != 0)
        return false;
    return here.st_dev != parent.st_dev || here.st_ino == parent.st_ino;
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
