#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// The drives a user can pick: Windows' logical drives, elsewhere the mounted
// file systems a user cares about. Listed without touching any file system, so
// it never blocks on a dead drive.
namespace DriveList {

struct DriveEntry {
    std::string text;     // as shown: "c: [SYSTEM]", "/media/usb [BACKUP]", "/ [/dev/sda2]"
    std::string rootPath; // as the drive space query takes it: "C:\" or the mount point
    friend bool operator==(const DriveEntry&, const DriveEntry&) = default;
};

// An entry's full text that came after its list was built; once per late text,
// on another thread.
using LateDriveText = std::function<void(const std::string& rootPath, const std::string& text)>;

// The drives of this machine now, in the list's order, waiting long for none.
// On Windows a drive's name (its label, a network drive's share) is had only by
// asking the drive, which may take the network's time-out: a name not in within
// a short wait leaves the letter alone ("x:"), and the full text goes to `late`
// when it comes (nowhere without one). Elsewhere every entry is whole at once.
[[nodiscard]] std::vector<DriveEntry> ListDrives(const LateDriveText& late = {});

// The index of the entry whose root holds path (the longest matching root), or
// entries.size() when none does.
[[nodiscard]] std::size_t IndexOfDriveHolding(const std::vector<DriveEntry>& entries, std::string_view path);

// The index of the entry with this root path, or entries.size(). A separator at
// the end does not count ("/media/usb/" is "/media/usb"), nor a drive letter's case.
[[nodiscard]] std::size_t IndexOfRoot(const std::vector<DriveEntry>& entries, std::string_view rootPath);

// Linux: the entries for a table in the format of /proc/self/mountinfo, "/"
// first even when the table has no line for it (a chroot). labelsByDevice maps a
// source as the table writes it ("/dev/sda2") to its volume label. Pure text.
[[nodiscard]] std::vector<DriveEntry> DrivesFromMountInfo(std::string_view mountInfo,
                                                          const std::map<std::string, std::string>& labelsByDevice);

} // namespace DriveList
