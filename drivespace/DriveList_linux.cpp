#include "drivespace/DriveList.h"

#include "drivespace/MountInfo.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
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
    const std::string mountInfo = wholeFile("/proc/self/mountinfo");

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
