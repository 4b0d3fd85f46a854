#include "drivespace/GetDiskSpace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <cstdint>

namespace {

// True when path is the root of a mounted file system. A mount point whose file
// system has gone away is an ordinary directory of the file system below; its
// figures belong to that other volume and must not be reported as this drive's.
bool isMountRoot(const char* path)
{
#if defined(__linux__) && defined(STATX_ATTR_MOUNT_ROOT)
    struct statx self {};
    if (statx(AT_FDCWD, path, AT_NO_AUTOMOUNT, STATX_INO, &self) != 0)
        return false;
    if (self.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT)
        return (self.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
#endif
    // Without the kernel's answer: a mount root lies on another device than its
    // parent directory, or is its own parent ("/").
    struct stat here {};
    struct stat parent {};
    const std::string parentPath = std::string(path) + "/..";
    if (stat(path, &here) != 0 || stat(parentPath.c_str(), &parent) != 0)
        return false;
    return here.st_dev != parent.st_dev || here.st_ino == parent.st_ino;
}

Currency bytesOf(std::uint64_t blocks, std::uint64_t blockSize)
{
    std::uint64_t bytes = 0;
    if (__builtin_mul_overflow(blocks, blockSize, &bytes))
        bytes = UINT64_MAX; // clamped by fromOsCount like any count past 2^63 - 1
    return Currency::fromOsCount(bytes);
}

} // namespace

namespace GetDiskSpace {

void QueryDriveSpace(Currency& capacity, Currency& free, const std::string& rootPath)
{
    struct statvfs volume {};
    if (!isMountRoot(rootPath.c_str()) || statvfs(rootPath.c_str(), &volume) != 0) {
        capacity = FailureValue;
        return;
    }
    capacity = bytesOf(volume.f_blocks, volume.f_frsize);
    // f_bfree: the total free, including the blocks reserved for the superuser.
    free = bytesOf(volume.f_bfree, volume.f_frsize);
}

} // namespace GetDiskSpace
