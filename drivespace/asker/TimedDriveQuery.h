#pragma once

#include "drivespace/DriveAnswer.h"
#include "drivespace/asker/AskDriveSpace.h"
#include "drivespace/asker/OneQueryPerPath.h"
#include "drivespace/asker/ThreadTransport.h"

#include <chrono>
#include <memory>
#include <string>

// The drive space query on worker threads, one per root path, under the rule of
// OneQueryPerPath. A drive that does not answer (a network file system whose
// server went away) would otherwise hold the caller for as long as the system
// waits.
class TimedDriveQuery {
public:
    using Query = ThreadTransport<DriveAnswer>::Query;

    explicit TimedDriveQuery(Query query, std::chrono::milliseconds deadline = DriveAnswerDeadline,
                             std::chrono::milliseconds idleTimeout = std::chrono::seconds(30));

    // The contract of AskDriveSpace.
    bool ask(DriveAnswer& answer, const std::string& rootPath, std::chrono::milliseconds wait, LateDriveAnswer late);

    // How many worker threads this object has started, and how many of them
    // have not ended yet, for tests.
    [[nodiscard]] int threadsStarted() const { return m_threads->threadsStarted(); }
    [[nodiscard]] int threadsRunning() const { return m_threads->threadsRunning(); }

private:
    std::shared_ptr<ThreadTransport<DriveAnswer>> m_threads;
    OneQueryPerPath<DriveAnswer> m_rule;
};
