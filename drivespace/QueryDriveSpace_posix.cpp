#include "drivespace/GetDiskSpace.h"
#include "drivespace/VolumeQuery.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include <climits>
#include <cstring>

namespace {

// A mount point whose file system has gone away is a directory of the volume
// below, whose figures must not be reported as this drive's.
bool isMountRoot(const char* path)
{
    // The process's root is one even where it is a directory of a larger volume
    // (a chroot): statfs answers for that volume.
    if (std::strcmp(path, "/") == 0)
        return true;
#if defined(__linux__) && defined(STATX_ATTR_MOUNT_ROOT)
    struct statx self {};
    if (statx(AT_FDCWD, path, AT_NO_AUTOMOUNT, STATX_INO, &self) != 0)
        return false;
    if (self.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT)
        return (self.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
#endif
    // Without the kernel's answer (before Linux 5.8: a container on an older
    // host, say), a mount root lies on another device than its parent, or is its
    // own parent. The path is built on the stack: a forked child may not allocate.
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
    // In fragments where the file system has them, as statvfs counts. f_bfree
    // includes the superuser's reserve; f_bavail is what a user may write.
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
