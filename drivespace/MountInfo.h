#pragma once

#include <string>
#include <string_view>
#include <vector>

// Reading the kernel's mount table (/proc/self/mountinfo) as plain text. Kept
// apart from the drive list so the text rules can be tested on any machine.
namespace MountInfo {

// One line of the table, with its escapes decoded.
struct MountLine {
    std::string mountId;
    std::string parentId;
    // "major:minor" of the file system: two lines with the same value are the
    // same file system (a bind mount or a second mount of one device).
    std::string device;
    // The directory of that file system that is mounted here ("/" for all of it).
    std::string root;
    std::string mountPoint;
    std::string fsType;
    // What was mounted: "/dev/sda2", "server:/export", "//nas/share", "tmpfs".
    std::string source;
};

// The lines of a table in the format of /proc/self/mountinfo, in its order.
// Malformed lines are skipped.
[[nodiscard]] std::vector<MountLine> ParseMountInfo(std::string_view text);

// The kernel writes blanks, tabs, newlines and backslashes in mount points and
// sources as a backslash and three octal digits ("\040" for a blank).
[[nodiscard]] std::string DecodeOctalEscapes(std::string_view text);

// udev writes characters that may not stand in a file name as "\x" and two hex
// digits ("My\x20Disk"), in the names under /dev/disk/by-label.
[[nodiscard]] std::string DecodeHexEscapes(std::string_view text);

} // namespace MountInfo
