#pragma once

#include "drivespace/mounts/MountInfo.h"

#include <string>
#include <string_view>
#include <vector>

// Which drives answer from this machine's memory or disks and may be asked in
// place. A network share, a FUSE file system or an automount point can hold an
// asker for minutes: those, and any type not known here, go through a helper.
namespace LocalFileSystem {

struct Mount {
    std::string id;     // the mount table's id of the mount the path leads to; "" when none is
    bool local = false; // the path is its mount point, and every mount on the way is of a local type
};

// The mount a lookup of mountPoint leads to in a table (see MountTree). Local
// only when mountPoint is its mount point, every mount crossed is of a local
// type (one stacked on another hides it) and none is an automount point.
[[nodiscard]] Mount MountAt(const std::vector<MountInfo::MountLine>& table, std::string_view mountPoint);

} // namespace LocalFileSystem
