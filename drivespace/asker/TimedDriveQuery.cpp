#include "drivespace/asker/TimedDriveQuery.h"

#include "drivespace/GetDiskSpace.h"

#include <utility>

namespace {

// Threads end by themselves when idle, race-free; paths are not told apart by
// mount.
OneQueryPerPath::Options optionsWith(std::chrono::milliseconds deadline)
{
    OneQueryPerPath::Options options;
    options.deadline = deadline;
    return options;
}

} // namespace

TimedDriveQuery::TimedDriveQuery(Query query, std::chrono::milliseconds deadline, std::chrono::milliseconds idleTimeout)
    : m_deadline(deadline), m_threads(std::make_shared<ThreadTransport>(std::move(query), idleTimeout)),
      m_rule(m_threads, optionsWith(deadline))
{}

TimedDriveQuery::TimedDriveQuery()
    : TimedDriveQuery([](Currency& capacity, Currency& free, const std::string& rootPath) {
          GetDiskSpace::QueryDriveSpace(capacity, free, rootPath);
      })
{}

void TimedDriveQuery::operator()(Currency& capacity, Currency& free, const std::string& rootPath)
{
    if (!ask(capacity, free, rootPath, m_deadline, nullptr))
        capacity = FailureValue; // abandoned: the worker stays busy until the call returns
}

bool TimedDriveQuery::ask(DriveAnswer& answer, const std::string& rootPath, std::chrono::milliseconds wait,
                          LateDriveAnswer late)
{
    return m_rule.ask(answer, rootPath, wait, std::move(late));
}

bool TimedDriveQuery::ask(Currency& capacity, Currency& free, const std::string& rootPath,
                          std::chrono::milliseconds wait, LateAnswer late)
{
    DriveAnswer answer{capacity, free};
    LateDriveAnswer lateAnswer;
    if (late)
        lateAnswer = [late = std::move(late)](const DriveAnswer& given) { late(given.capacity, given.free); };
    if (!ask(answer, rootPath, wait, std::move(lateAnswer)))
        return false;
    capacity = answer.capacity;
    free = answer.free;
    return true;
}
