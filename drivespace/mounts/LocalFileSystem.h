#pragma once

#include "drivespace/mounts/MountInfo.h"

#include <string>
#include <string_view>
#include <vector>

// Which drives answer from this machine's own memory or disks, and so may be
// asked in place, without a thread or a process in between. A network share, a
// FUSE file system or an automount point can hold whoever asks for minutes;
// those, and any type not known here, go through a helper.
namespace LocalFileSystem {

struct Mount {
    std::string id;     // the mount table's id of the mount the path leads to; "" when none is
    bool local = false; // the path is its mount point, and every mount on the way is of a local type
};

// The mount a lookup of mountPoint leads to in a mount table, as the kernel
// walks it now: a mount made later over a directory on the way takes the path
// over. It is local only when mountPoint is where it is mounted, every mount
// the lookup crosses is of a local type (one stacked on another hides it) and
// none is an automount point.
[[nodiscard]] Mount MountAt(const std::vector<MountInfo::MountLine>& table, std::string_view mountPoint);

} // namespace LocalFileSystem
