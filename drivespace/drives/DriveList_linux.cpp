#include "drivespace/drives/DriveList.h"

#include "drivespace/mounts/MountInfo.h"

#include <algorithm>
#include <filesystem>

namespace {

// The labels udev publishes as links to device nodes ("BACKUP" -> "../../sdb1"),
// with the node's numbers from sysfs ("8:17"). Only links and kernel files are
// read, no path resolved: a dead or hostile drive cannot block here.
std::vector<MountInfo::VolumeLabel> volumeLabels()
{
    namespace fs = std::filesystem;
    std::vector<MountInfo::VolumeLabel> labels;
    std::error_code error;
    for (fs::directory_iterator it("/dev/disk/by-label", error), end; !error && it != end; it.increment(error)) {
        std::error_code linkError;
        const std::string node = fs::read_symlink(it->path(), linkError).filename().string();
        if (linkError || node.empty() || node == "." || node == "..")
            continue;
        std::string device = MountInfo::ReadKernelFile(("/sys/class/block/" + node + "/dev").c_str());
        device.erase(std::min(device.find('\n'), device.size()));
        labels.push_back({MountInfo::DecodeHexEscapes(it->path().filename().string()), node, std::move(device)});
    }
    return labels;
}

} // namespace

namespace DriveList {

std::vector<DriveEntry> ListDrives(const LateDriveText&)
{
    const std::string mountInfo = MountInfo::ReadKernelFile("/proc/self/mountinfo");
    return DrivesFromMountInfo(mountInfo,
                               MountInfo::LabelsBySource(MountInfo::ParseMountInfo(mountInfo), volumeLabels()));
}

} // namespace DriveList
