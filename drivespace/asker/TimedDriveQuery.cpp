#include "drivespace/asker/TimedDriveQuery.h"

#include <utility>

namespace {

// Threads end by themselves when idle, race-free; paths are not told apart by
// mount.
OneQueryPerPath<DriveAnswer>::Options optionsWith(std::chrono::milliseconds deadline)
{
    OneQueryPerPath<DriveAnswer>::Options options;
    options.deadline = deadline;
    return options;
}

} // namespace

TimedDriveQuery::TimedDriveQuery(Query query, std::chrono::milliseconds deadline, std::chrono::milliseconds idleTimeout)
    : m_threads(std::make_shared<ThreadTransport<DriveAnswer>>(std::move(query), idleTimeout)),
      m_rule(m_threads, optionsWith(deadline))
{}

bool TimedDriveQuery::ask(DriveAnswer& answer, const std::string& rootPath, std::chrono::milliseconds wait,
                          LateDriveAnswer late)
{
    return m_rule.ask(answer, rootPath, wait, std::move(late));
}
