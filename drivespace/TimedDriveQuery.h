#pragma once

#include "drivespace/AskDriveSpace.h"
#include "drivespace/Currency.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

// The drive space query on worker threads, one per root path. A drive that does
// not answer (a network file system whose server went away) would otherwise hold
// the caller for as long as the system waits. A query not answered within the
// caller's wait is handed to a late-answer callback; a thread inside the system
// call cannot be interrupted. While a query of a root path is out, the path is
// not asked again, so threads never pile up: within the deadline a further ask
// takes over that query's answer; after it, or without a late-answer callback,
// it fails at once. A worker not asked for its path for a while ends.
class TimedDriveQuery {
public:
    using Query = std::function<void(Currency& capacity, Currency& free, const std::string& rootPath)>;

    explicit TimedDriveQuery(Query query, std::chrono::milliseconds deadline = DriveAnswerDeadline,
                             std::chrono::milliseconds idleTimeout = std::chrono::seconds(30));
    TimedDriveQuery();
    ~TimedDriveQuery();
    TimedDriveQuery(const TimedDriveQuery&) = delete;
    TimedDriveQuery& operator=(const TimedDriveQuery&) = delete;

    // The contract of GetDiskSpace::QueryDriveSpace: on failure, time-out or a
    // path still blocked, capacity becomes FailureValue and free is untouched.
    void operator()(Currency& capacity, Currency& free, const std::string& rootPath);

    // The contract of AskDriveSpace.
    bool ask(Currency& capacity, Currency& free, const std::string& rootPath, std::chrono::milliseconds wait,
             LateAnswer late);

    // How many worker threads this object has started, and how many of them
    // have not ended yet, for tests.
    [[nodiscard]] int threadsStarted() const;
    [[nodiscard]] int threadsRunning() const;

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};
