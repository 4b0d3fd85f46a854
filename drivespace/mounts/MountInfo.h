#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

// The kernel's mount table (/proc/self/mountinfo) read as plain text, so that
// its rules can be tested on any machine.
namespace MountInfo {

// One line of the table, with its escapes decoded.
struct MountLine {
    std::string mountId;
    std::string parentId;
    std::string device; // "major:minor": the same in two lines for one file system (a bind mount, a second mount)
    std::string root;   // the directory of that file system mounted here ("/" for all of it)
    std::string mountPoint;
    std::string fsType;
    std::string source; // what was mounted: "/dev/sda2", "server:/export", "//nas/share", "tmpfs"
};

// A volume label as udev publishes it: /dev/disk/by-label/<text> links to the
// device node /dev/<deviceName>, whose numbers are device ("8:17").
struct VolumeLabel {
    std::string text;
    std::string deviceName;
    std::string device;
};

// The label of each mount source on a labelled device: matched by device
// numbers or, where a file system's are not its device's (btrfs), by a source
// that is the node itself ("/dev/sdb1"). Pure text: a source made to lead
// through another mount ("/dev/../home/me/hung/x") is never followed.
[[nodiscard]] std::map<std::string, std::string> LabelsBySource(const std::vector<MountLine>& lines,
                                                                const std::vector<VolumeLabel>& labels);

// Linux: a kernel file's whole text, empty when unreadable. Read with stdio:
// C++ streams would set up their locales just for this.
[[nodiscard]] std::string ReadKernelFile(const char* path);

// The lines, in order, of a table in the format of /proc/self/mountinfo; malformed ones skipped.
[[nodiscard]] std::vector<MountLine> ParseMountInfo(std::string_view text);

// The kernel writes blanks, tabs, newlines and backslashes in mount points and
// sources as a backslash and three octal digits ("\040" for a blank).
[[nodiscard]] std::string DecodeOctalEscapes(std::string_view text);

// udev writes characters that may not stand in a file name as "\x" and two hex
// digits ("My\x20Disk"), in the names under /dev/disk/by-label.
[[nodiscard]] std::string DecodeHexEscapes(std::string_view text);

} // namespace MountInfo
