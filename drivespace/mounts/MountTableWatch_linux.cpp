#include "drivespace/mounts/MountTableWatch.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <memory>
#include <mutex>

std::string MountInfo::ReadKernelFile(const char* path)
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

struct MountTableWatch::Table {
    static constexpr const char* Path = "/proc/self/mountinfo";
    std::mutex mutex;
    // Kept open: the kernel marks it with a priority event when a mount comes
    // or goes, until it has told us once.
    int fd = ::open(Path, O_RDONLY | O_CLOEXEC);
    std::vector<MountInfo::MountLine> lines = MountInfo::ParseMountInfo(MountInfo::ReadKernelFile(Path));
    std::map<std::string, LocalFileSystem::Mount, std::less<>> known; // found since the last change
};

MountTableWatch::MountTableWatch() : m_table(std::make_unique<Table>()) {}

MountTableWatch::~MountTableWatch()
{
    if (m_table->fd >= 0)
        ::close(m_table->fd);
}

LocalFileSystem::Mount MountTableWatch::mountAt(const std::string& mountPoint)
{
    const std::lock_guard guard(m_table->mutex);
    if (pollfd changed{m_table->fd, POLLPRI, 0}; poll(&changed, 1, 0) != 0) {
        m_table->lines = MountInfo::ParseMountInfo(MountInfo::ReadKernelFile(Table::Path));
        m_table->known.clear();
    }
    const auto found = m_table->known.find(mountPoint);
    if (found != m_table->known.end())
        return found->second;
    return m_table->known[mountPoint] = LocalFileSystem::MountAt(m_table->lines, mountPoint);
}
