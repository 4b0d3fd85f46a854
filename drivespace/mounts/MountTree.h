#pragma once

#include "drivespace/mounts/MountInfo.h"

#include <cstddef>
#include <map>
#include <string_view>
#include <vector>

// The mount table as the kernel walks it to look a path up: from this process's
// root mount (at "/", its parent outside the table; a later mount on "/" is not
// on the way), at each mount point of the path on to the last mount made there
// on the current one, then to any stacked on that one at the same point. A mount
// covered by a later one, or on a file system now out of reach, is never crossed.
class MountTree {
public:
    // The table must outlive the tree.
    explicit MountTree(const std::vector<MountInfo::MountLine>& table);

    // The table indices of the mounts a lookup of the absolute path crosses, the
    // root mount first, the one it leads to last. Empty when it leads to no mount
    // of the table (a chroot whose root is no mount point, a relative path).
    [[nodiscard]] std::vector<std::size_t> crossed(std::string_view path) const;

private:
    struct Directory {
        std::map<std::string_view, std::size_t> children; // by name, to their index in m_directories
        std::vector<std::size_t> steps;                   // the mounts a lookup steps through here
        std::size_t holder = 0;                           // the directory holding it
        std::size_t endsAt = 0;                           // the mount its lookup ends at
    };
    std::size_t directoryOf(std::string_view mountPoint);

    std::vector<Directory> m_directories; // each after the one holding it, "/" first
};
