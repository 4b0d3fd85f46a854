#pragma once

#include <cstddef>
#include <functional>
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

// An entry's full text that came after its list was built: its root path and
// its text. Called once per late text, on another thread.
using LateDriveText = std::function<void(const std::string& rootPath, const std::string& text)>;

// The drives of this machine now, in the order the list shows them, without
// waiting long for any of them. On Windows a drive's name (its label, or the
// share of a network drive) can only be had by asking the drive, which may not
// answer for the network's time-out: a drive whose name is not in within a
// short wait is listed as its letter alone ("x:"), and its full text goes to
// `late` when it comes (nowhere without one). Elsewhere every entry is whole
// at once.
[[nodiscard]] std::vector<DriveEntry> ListDrives(const LateDriveText& late = {});

// The index of the entry whose root holds path (the longest matching root), or
// entries.size() when none does.
[[nodiscard]] std::size_t IndexOfDriveHolding(const std::vector<DriveEntry>& entries, std::string_view path);

// The index of the entry with this root path, or entries.size() when there is
// none. A separator at the end does not count ("/media/usb/" is "/media/usb");
// drive letters match in either case ("c:\" is "C:\").
[[nodiscard]] std::size_t IndexOfRoot(const std::vector<DriveEntry>& entries, std::string_view rootPath);

// Linux: the entries for a mount table in the format of /proc/self/mountinfo.
// labelsByDevice maps a mount source as the table writes it ("/dev/sda2",
// "/dev/mapper/vg-home") to its volume label. "/" comes first, also when the
// table has no line for it (a chroot). Pure text: nothing is looked up on the
// machine.
[[nodiscard]] std::vector<DriveEntry> DrivesFromMountInfo(std::string_view mountInfo,
                                                          const std::map<std::string, std::string>& labelsByDevice);

} // namespace DriveList
