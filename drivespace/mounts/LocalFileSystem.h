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

// True for a file-system type that answers a size query from local storage.
[[nodiscard]] bool IsLocalType(std::string_view fsType);

struct Mount {
    std::string id;     // the mount table's id of the mount at the path; "" when none is
    bool local = false; // it, and every mount the path goes through, is of a local type
};

// The mount at mountPoint in a mount table: the topmost one mounted there. It
// is local only when its type and those of all mounts below it are local, and
// nothing mounted at that point is an automount point.
[[nodiscard]] Mount MountAt(const std::vector<MountInfo::MountLine>& table, std::string_view mountPoint);

} // namespace LocalFileSystem
