#include "drivespace/DriveList.h"

#include "drivespace/MountInfo.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// The labels udev publishes as symlinks named after the label, pointing at the
// device node: "/dev/sdb1" -> "BACKUP". Reading links never touches the file
// systems themselves, so a dead drive cannot block here.
std::map<std::string, std::string> labelsByDeviceNode()
{
    namespace fs = std::filesystem;
    const fs::path directory("/dev/disk/by-label");
    std::map<std::string, std::string> labels;
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
        std::error_code linkError;
        const fs::path target = fs::read_symlink(it->path(), linkError);
        if (linkError)
            continue;
        const fs::path device = (directory / target).lexically_normal();
        labels[device.string()] = MountInfo::DecodeHexEscapes(it->path().filename().string());
    }
    return labels;
}

// The device node a mount source names, through the aliases in /dev
// ("/dev/mapper/vg-home" -> "/dev/dm-1"). Only names under /dev are resolved:
// they are nodes and links of the kernel's device file system, never a mounted
// volume that could hang.
std::string deviceNodeOf(const std::string& source)
{
    if (source.rfind("/dev/", 0) != 0)
        return {};
    char resolved[PATH_MAX];
    if (!realpath(source.c_str(), resolved))
        return source;
    return resolved;
}

} // namespace

namespace DriveList {

std::vector<DriveEntry> ListDrives()
{
    std::ifstream file("/proc/self/mountinfo");
    std::ostringstream text;
    text << file.rdbuf();
    const std::string mountInfo = text.str();

    const auto labelsByNode = labelsByDeviceNode();
    std::map<std::string, std::string> labelsBySource;
    if (!labelsByNode.empty()) {
        for (const auto& line : MountInfo::ParseMountInfo(mountInfo)) {
            const auto label = labelsByNode.find(deviceNodeOf(line.source));
            if (label != labelsByNode.end())
                labelsBySource[line.source] = label->second;
        }
    }
    return DrivesFromMountInfo(mountInfo, labelsBySource);
}

} // namespace DriveList
