#pragma once

#include "drivespace/mounts/LocalFileSystem.h"

#include <memory>
#include <string>

// The running system's mount table, read again only when the kernel says it has
// changed, so that asking it on every refresh costs one system call.
class MountTableWatch {
public:
    MountTableWatch();
    ~MountTableWatch();
    MountTableWatch(const MountTableWatch&) = delete;
    MountTableWatch& operator=(const MountTableWatch&) = delete;

    // What the table says of the mount at mountPoint.
    [[nodiscard]] LocalFileSystem::Mount mountAt(const std::string& mountPoint);

private:
    struct Table;
    std::unique_ptr<Table> m_table;
};
