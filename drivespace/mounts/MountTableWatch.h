#pragma once

#include "drivespace/mounts/LocalFileSystem.h"

#include <memory>
#include <string>

// The running system's mount table, read again only when the kernel says it
// changed: asking it on every refresh costs one system call.
class MountTableWatch {
public:
    MountTableWatch();
    ~MountTableWatch();

    [[nodiscard]] LocalFileSystem::Mount mountAt(const std::string& mountPoint);

private:
    struct Table;
    std::unique_ptr<Table> m_table;
};
