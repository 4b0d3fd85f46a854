#pragma once

#include "drivespace/asker/DriveQueryLine.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

// Lines that are worker threads running the given query. A thread inside the
// system call cannot be interrupted: let go, it ends once the call returns; one
// not asked for its idle time ends by itself.
template <class Answer>
class ThreadTransport : public DriveQueryTransport<Answer> {
public:
    // Fills in the answer for a root path (counts as GetDiskSpace::QueryDriveSpace does, or a name).
    using Query = std::function<void(Answer& answer, const std::string& rootPath)>;

    ThreadTransport(Query query, std::chrono::milliseconds idleTimeout);

    [[nodiscard]] std::shared_ptr<DriveQueryLine> open(LineReport<Answer> report) override;

private:
    Query m_query;
    std::chrono::milliseconds m_idleTimeout;
};
