#include "drivespace/mounts/LocalFileSystem.h"

#include <algorithm>
#include <array>
#include <map>

namespace {

// Disk and memory file systems whose size the kernel has at hand. Kernel
// pseudo file systems answer from memory too.
constexpr std::array<std::string_view, 17> LocalTypes = {
    "ext2",  "ext3", "ext4",  "xfs", "btrfs", "tmpfs",    "ramfs", "vfat",    "msdos",
    "exfat", "f2fs", "ntfs3", "jfs", "proc",  "devtmpfs", "sysfs", "overlay",
};

} // namespace

namespace LocalFileSystem {

bool IsLocalType(std::string_view fsType)
{
    return std::find(LocalTypes.begin(), LocalTypes.end(), fsType) != LocalTypes.end();
}

Mount MountAt(const std::vector<MountInfo::MountLine>& table, std::string_view mountPoint)
{
    std::map<std::string_view, const MountInfo::MountLine*> byId;
    const MountInfo::MountLine* top = nullptr;
    bool automounted = false;
    for (const auto& line : table) {
        byId[line.mountId] = &line;
        if (line.mountPoint == mountPoint) {
            top = &line;
            automounted = automounted || line.fsType == "autofs";
        }
    }
    if (!top)
        return {};
    // The path is looked up through every mount below this one.
    bool local = !automounted;
    std::size_t depth = 0;
    for (const MountInfo::MountLine* line = top; line && local && depth <= table.size(); ++depth) {
        local = IsLocalType(line->fsType);
        const auto parent = byId.find(line->parentId);
        line = parent == byId.end() || parent->second == line ? nullptr : parent->second;
    }
    return {top->mountId, local && depth <= table.size()};
}

} // namespace LocalFileSystem
