#include "drivespace/mounts/LocalFileSystem.h"

#include "drivespace/mounts/MountTree.h"

#include <algorithm>
#include <array>

namespace {

// Disk, memory and kernel pseudo file systems, whose size the kernel has at hand.
constexpr std::array<std::string_view, 17> LocalTypes = {
    "ext2",  "ext3", "ext4",  "xfs", "btrfs", "tmpfs",    "ramfs", "vfat",    "msdos",
    "exfat", "f2fs", "ntfs3", "jfs", "proc",  "devtmpfs", "sysfs", "overlay",
};

} // namespace

namespace LocalFileSystem {

Mount MountAt(const std::vector<MountInfo::MountLine>& table, std::string_view mountPoint)
{
    const std::vector<std::size_t> crossed = MountTree(table).crossed(mountPoint);
    if (crossed.empty())
        return {};
    const MountInfo::MountLine& reached = table[crossed.back()];
    // Any other path may lead anywhere: a symbolic link is not in the table.
    bool local = reached.mountPoint == mountPoint;
    for (std::size_t k = 0; k < crossed.size() && local; ++k) {
        const MountInfo::MountLine& line = table[crossed[k]];
        // A mount with another stacked on it is stepped over, never looked
        // into; an automount point acts even then.
        const bool steppedOver = k + 1 < crossed.size() && table[crossed[k + 1]].mountPoint == line.mountPoint;
        const bool localType = std::ranges::find(LocalTypes, line.fsType) != LocalTypes.end();
        local = line.fsType != "autofs" && (steppedOver || localType);
    }
    return {reached.mountId, local};
}

} // namespace LocalFileSystem
