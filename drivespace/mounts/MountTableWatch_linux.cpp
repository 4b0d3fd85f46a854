#include "drivespace/mounts/MountTableWatch.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <map>
#include <mutex>

namespace {

// The whole of a /proc file, read through a descriptor kept open.
std::string readFrom(int fd)
{
    std::string text;
    char chunk[16384];
    ssize_t got = 0;
    if (lseek(fd, 0, SEEK_SET) != 0)
        return text;
    while ((got = read(fd, chunk, sizeof chunk)) > 0)
        text.append(chunk, static_cast<std::size_t>(got));
    return text;
}

} // namespace

struct MountTableWatch::Table {
    std::mutex mutex;
    // Kept open: the kernel marks it with a priority event whenever a mount is
    // added or removed, and clears the mark when it has told us once.
    int fd = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    std::vector<MountInfo::MountLine> lines = MountInfo::ParseMountInfo(readFrom(fd)); // none without the file
    std::map<std::string, LocalFileSystem::Mount, std::less<>> known; // found since the last change

    void refreshIfChanged()
    {
        pollfd changed{fd, POLLPRI, 0};
        if (poll(&changed, 1, 0) == 0)
            return;
        lines = MountInfo::ParseMountInfo(readFrom(fd));
        known.clear();
    }
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
    m_table->refreshIfChanged();
    const auto found = m_table->known.find(mountPoint);
    if (found != m_table->known.end())
        return found->second;
    return m_table->known[mountPoint] = LocalFileSystem::MountAt(m_table->lines, mountPoint);
}
