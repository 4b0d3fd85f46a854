#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// The drives a user can pick: on Windows the logical drives, elsewhere the
// mounted file systems a user cares about. Built from what the system lists
// without touching any file system, so it never blocks on a dead drive.
namespace DriveList {

struct DriveEntry {
    // As the drive list shows it: "c: [SYSTEM]" on Windows, "/media/usb [BACKUP]"
    // or "/ [/dev/sda2]" elsewhere.
    std::string text;
    // The root path the drive space query takes: "C:\" or the mount point.
    std::string rootPath;
    friend bool operator==(const DriveEntry&, const DriveEntry&) = default;
};

// The drives of this machine now, in the order the list shows them.
[[nodiscard]] std::vector<DriveEntry> ListDrives();

// The index of the entry whose root holds path (the longest matching root), or
// entries.size() when none does.
[[nodiscard]] std::size_t IndexOfDriveHolding(const std::vector<DriveEntry>& entries, std::string_view path);

// Linux: the entries for a mount table in the format of /proc/self/mountinfo.
// labelsByDevice maps a device path ("/dev/sda2") to its volume label.
[[nodiscard]] std::vector<DriveEntry> DrivesFromMountInfo(std::string_view mountInfo,
                                                          const std::map<std::string, std::string>& labelsByDevice);

} // namespace DriveList
