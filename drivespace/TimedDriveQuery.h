#pragma once

#include "drivespace/Currency.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

// The drive space query with a deadline. A drive that does not answer (a network
// file system whose server went away) would otherwise hold the window for as
// long as the system waits. The query runs on a worker thread; one that has not
// answered by the deadline counts as failed and is abandoned, since a thread
// inside the system call cannot be interrupted. While an abandoned query of a
// root path has not returned, further queries of that path fail at once, so
// threads never pile up.
class TimedDriveQuery {
public:
    using Query = std::function<void(Currency& capacity, Currency& free, const std::string& rootPath)>;

    explicit TimedDriveQuery(Query query, std::chrono::milliseconds deadline = std::chrono::seconds(1));
    TimedDriveQuery();
    ~TimedDriveQuery();
    TimedDriveQuery(const TimedDriveQuery&) = delete;
    TimedDriveQuery& operator=(const TimedDriveQuery&) = delete;

    // The contract of GetDiskSpace::QueryDriveSpace: on failure, time-out or a
    // path still blocked, capacity becomes FailureValue and free is untouched.
    void operator()(Currency& capacity, Currency& free, const std::string& rootPath);

    // How many worker threads this object has started, for tests.
    [[nodiscard]] int threadsStarted() const;

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};
