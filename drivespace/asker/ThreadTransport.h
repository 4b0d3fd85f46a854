#pragma once

#include "drivespace/asker/DriveQueryLine.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

// Lines that are worker threads of this program, each running the query it is
// given. A thread inside the system call cannot be interrupted: let go, it ends
// once the call returns. A thread not asked for its idle time ends by itself.
template <class Answer>
class ThreadTransport : public DriveQueryTransport<Answer> {
public:
    // Fills in the answer for a root path (a drive's counts with the contract
    // of GetDiskSpace::QueryDriveSpace, a drive's name).
    using Query = std::function<void(Answer& answer, const std::string& rootPath)>;

    ThreadTransport(Query query, std::chrono::milliseconds idleTimeout);

    [[nodiscard]] std::shared_ptr<DriveQueryLine> open(LineReport<Answer> report) override;

private:
    Query m_query;
    std::chrono::milliseconds m_idleTimeout;
};
