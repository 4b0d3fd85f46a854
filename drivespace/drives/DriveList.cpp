#include "drivespace/drives/DriveList.h"

#include "drivespace/mounts/MountInfo.h"
#include "drivespace/mounts/MountTree.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <utility>

namespace {

using MountInfo::MountLine;
using namespace std::string_view_literals;

bool isSeparator(char c)
{
    return c == '/' || c == '\\';
}

// The drive letter of "C:\", "c:" or "C:/Users", upper-cased.
std::optional<char> driveLetterOf(std::string_view path)
{
    if (path.size() < 2 || path[1] != ':' || !std::isalpha(static_cast<unsigned char>(path[0])))
        return std::nullopt;
    return static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
}

// A root without its closing separator; "/" stays "/".
std::string_view trimmedRoot(std::string_view root)
{
    while (root.size() > 1 && isSeparator(root.back()))
        root.remove_suffix(1);
    return root;
}

// True for path itself and anything below it, on component boundaries:
// "/home" holds "/home/x", not "/homework".
bool holds(std::string_view root, std::string_view path)
{
    root = trimmedRoot(root);
    if (root.empty() || !path.starts_with(root))
        return false;
    return path.size() == root.size() || isSeparator(root.back()) || isSeparator(path[root.size()]);
}

bool isBelow(std::string_view path, std::string_view directory)
{
    return path.size() > directory.size() && holds(directory, path);
}

// File systems of kernel, desktop or container plumbing: no user's files.
constexpr std::array pseudoTypes{
    "proc"sv,        "sysfs"sv,      "cgroup"sv,        "cgroup2"sv,  "devpts"sv,
    "debugfs"sv,     "tracefs"sv,    "securityfs"sv,    "pstore"sv,   "bpf"sv,
    "mqueue"sv,      "hugetlbfs"sv,  "configfs"sv,      "fusectl"sv,  "binfmt_misc"sv,
    "autofs"sv,      "nsfs"sv,       "ramfs"sv,         "devtmpfs"sv, "efivarfs"sv,
    "rpc_pipefs"sv,  "nfsd"sv,       "selinuxfs"sv,     "smackfs"sv,  "fuse.gvfsd-fuse"sv,
    "fuse.portal"sv, "fuse.lxcfs"sv, "fuse.snapfuse"sv,
};

// Layered file systems: a container's image, unless the system's own root (a
// live system, a container).
constexpr std::array overlayTypes{"overlay"sv, "aufs"sv, "fuse.fuse-overlayfs"sv};

// Where the kernel's interfaces live: whatever is mounted there is plumbing.
constexpr std::array kernelDirectories{"/proc"sv, "/sys"sv, "/dev"sv};

// Container engines keep their images, layers and per-container mounts below these.
constexpr std::array containerDirectories{"/var/lib/docker"sv, "/var/lib/containers"sv, "/var/lib/kubelet"sv};

bool isUserFileSystem(const MountLine& line)
{
    const std::string_view type = line.fsType;
    const std::string_view point = line.mountPoint;
    const auto isType = [type](std::string_view known) { return known == type; };
    if (std::ranges::any_of(pseudoTypes, isType) ||
        std::ranges::any_of(kernelDirectories, [point](std::string_view kernel) { return holds(kernel, point); }) ||
        std::ranges::any_of(containerDirectories, [point](std::string_view engine) { return isBelow(point, engine); }))
        return false;
    if (std::ranges::any_of(overlayTypes, isType))
        return point == "/";
    // Run-time state in memory; a tmpfs on /tmp or elsewhere holds users' files.
    if (type == "tmpfs" && holds("/run", point))
        return false;
    // A snap's or another image's read-only loop mount.
    if (type == "squashfs" && (line.source.starts_with("/dev/loop") || isBelow(point, "/snap")))
        return false;
    return true;
}

// The mounts the list shows, "/" first: the user's file systems, each once, as
// a query reaches them: where a lookup of the mount point leads (not a mount
// covered, stacked under another, or on a file system now out of reach).
std::vector<const MountLine*> shownMounts(const std::vector<MountLine>& lines)
{
    const MountTree tree(lines);
    std::vector<const MountLine*> candidates;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::vector<std::size_t> crossed = tree.crossed(lines[i].mountPoint);
        if (!crossed.empty() && crossed.back() == i && isUserFileSystem(lines[i]))
            candidates.push_back(&lines[i]);
    }
    // Each file system once, by its best mount: the shorter mount point, then the
    // larger part of the file system (the shorter root), then the first in the table.
    const auto rank = [](const MountLine* line) { return std::pair(line->mountPoint.size(), line->root.size()); };
    std::map<std::string_view, const MountLine*> shownByDevice;
    for (const MountLine* line : candidates) {
        auto [it, inserted] = shownByDevice.try_emplace(line->device, line);
        if (!inserted && rank(line) < rank(it->second))
            it->second = line;
    }
    std::erase_if(candidates, [&](const MountLine* line) { return shownByDevice.at(line->device) != line; });
    std::ranges::stable_partition(candidates, [](const MountLine* line) { return line->mountPoint == "/"; });
    return candidates;
}

} // namespace

namespace DriveList {

std::size_t IndexOfDriveHolding(const std::vector<DriveEntry>& entries, std::string_view path)
{
    std::size_t best = entries.size();
    const auto pathLetter = driveLetterOf(path);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string_view root = trimmedRoot(entries[i].rootPath);
        if (root.empty())
            continue;
        const auto rootLetter = driveLetterOf(root);
        const bool match = rootLetter ? rootLetter == pathLetter : holds(root, path);
        if (match && (best == entries.size() || root.size() > trimmedRoot(entries[best].rootPath).size()))
            best = i;
    }
    return best;
}

std::size_t IndexOfRoot(const std::vector<DriveEntry>& entries, std::string_view rootPath)
{
    const std::string_view wanted = trimmedRoot(rootPath);
    const auto wantedLetter = driveLetterOf(wanted);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string_view root = trimmedRoot(entries[i].rootPath);
        const auto rootLetter = driveLetterOf(root);
        const bool match = rootLetter ? rootLetter == wantedLetter && wanted.size() == 2 && root.size() == 2
                                      : !root.empty() && root == wanted;
        if (match)
            return i;
    }
    return entries.size();
}

std::vector<DriveEntry> DrivesFromMountInfo(std::string_view mountInfo,
                                            const std::map<std::string, std::string>& labelsByDevice)
{
    const std::vector<MountLine> lines = MountInfo::ParseMountInfo(mountInfo);
    const std::vector<const MountLine*> shown = shownMounts(lines);
    std::vector<DriveEntry> entries;
    // In a chroot or container whose root is no mount point, the table has no
    // line for "/" (no table at all without /proc): it is the drive all the same.
    if (shown.empty() || shown.front()->mountPoint != "/")
        entries.push_back({"/", "/"});
    for (const MountLine* line : shown) {
        const auto label = labelsByDevice.find(line->source);
        const std::string& name = label != labelsByDevice.end() ? label->second : line->source;
        std::string text = line->mountPoint;
        if (!name.empty())
            text += " [" + name + "]";
        entries.push_back({std::move(text), line->mountPoint});
    }
    return entries;
}

} // namespace DriveList
