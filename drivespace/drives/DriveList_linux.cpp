#include "drivespace/drives/DriveList.h"

#include "drivespace/mounts/MountInfo.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

// The whole text of a file of the kernel's, empty when it cannot be read. Read
// with stdio: C++ streams would set up their locales just for this.
std::string wholeFile(const char* path)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path, "re"), std::fclose);
    std::string text;
    if (!file)
        return text;
    char block[8192];
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, file.get())) > 0;)
        text.append(block, got);
    return text;
}

// The labels udev publishes as links named after the label to the device node:
// "BACKUP" -> "../../sdb1", with the node's numbers as sysfs gives them
// ("8:17"). Only links are read, and files of the kernel's own: no path is
// resolved and no mounted volume is touched, so a dead or hostile drive cannot
// block here.
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
        std::string device = wholeFile(("/sys/class/block/" + node + "/dev").c_str());
        device.erase(std::min(device.find('\n'), device.size()));
        labels.push_back({MountInfo::DecodeHexEscapes(it->path().filename().string()), node, std::move(device)});
    }
    return labels;
}

} // namespace

namespace DriveList {

std::vector<DriveEntry> ListDrives(const LateDriveText&)
{
    const std::string mountInfo = wholeFile("/proc/self/mountinfo");
    return DrivesFromMountInfo(mountInfo,
                               MountInfo::LabelsBySource(MountInfo::ParseMountInfo(mountInfo), volumeLabels()));
}

} // namespace DriveList
