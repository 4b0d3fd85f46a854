#include "drivespace/TimedDriveQuery.h"

#include "drivespace/GetDiskSpace.h"

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace {

// One thread per root path, waiting for the next job. Owned jointly by the query
// object and by its own thread, so that a thread still blocked in the system
// call when the object goes finds its state alive on return.
struct Worker {
    explicit Worker(std::string path) : rootPath(std::move(path)) {}

    const std::string rootPath;
    std::condition_variable wake;     // a job was posted, or the worker should stop
    std::condition_variable finished; // the posted job has returned
    bool pending = false;             // a job is waiting for the thread
    bool busy = false;                // from posting until the query has returned
    std::chrono::steady_clock::time_point askedAt; // when the query was posted
    Currency capacity;
    Currency free;
    LateAnswer late; // set once the caller has stopped waiting
};

} // namespace

struct TimedDriveQuery::Shared {
    Query query;
    std::chrono::milliseconds deadline{};
    std::chrono::milliseconds idleTimeout{};
    // Guards the workers and every worker's fields; taken before a worker is
    // looked up, so that a worker retiring and a job posted to it never cross.
    std::mutex mutex;
    std::map<std::string, std::shared_ptr<Worker>, std::less<>> workers;
    bool stop = false; // the query object is gone: workers end when idle
    std::atomic<int> threadsStarted = 0;
    std::atomic<int> threadsRunning = 0;

    void serve(const std::shared_ptr<Worker>& worker);
    // Waits for the next job; false when the worker should end instead.
    bool nextJob(std::unique_lock<std::mutex>& lock, Worker& worker);
};

bool TimedDriveQuery::Shared::nextJob(std::unique_lock<std::mutex>& lock, Worker& worker)
{
    if (worker.wake.wait_for(lock, idleTimeout, [&] { return worker.pending || stop; }) && worker.pending)
        return true;
    // Idle for too long, or the object is gone: the path gets a new worker when
    // it is asked for again.
    const auto found = workers.find(worker.rootPath);
    if (found != workers.end() && found->second.get() == &worker)
        workers.erase(found);
    return false;
}

void TimedDriveQuery::Shared::serve(const std::shared_ptr<Worker>& worker)
{
    std::unique_lock lock(mutex);
    while (nextJob(lock, *worker)) {
        worker->pending = false;
        Currency capacity = worker->capacity;
        Currency free = worker->free;
        lock.unlock();
        // The call that may block for minutes: no lock is held meanwhile.
        try {
            query(capacity, free, worker->rootPath);
        } catch (...) {
            capacity = FailureValue;
        }
        lock.lock();
        worker->capacity = capacity;
        worker->free = free;
        worker->busy = false;
        worker->finished.notify_all();
        if (LateAnswer late = std::exchange(worker->late, nullptr)) {
            lock.unlock();
            late(capacity, free);
            lock.lock();
        }
    }
    --threadsRunning;
}

TimedDriveQuery::TimedDriveQuery(Query query, std::chrono::milliseconds deadline, std::chrono::milliseconds idleTimeout)
    : m_shared(std::make_shared<Shared>())
{
    m_shared->query = std::move(query);
    m_shared->deadline = deadline;
    m_shared->idleTimeout = idleTimeout;
}

TimedDriveQuery::TimedDriveQuery() : TimedDriveQuery(&GetDiskSpace::QueryDriveSpace) {}

// Idle workers end at once; a blocked one ends when its call returns. Nothing
// here waits for either, so closing the program never hangs on a dead drive.
TimedDriveQuery::~TimedDriveQuery()
{
    const std::lock_guard guard(m_shared->mutex);
    m_shared->stop = true;
    for (auto& [path, worker] : m_shared->workers)
        worker->wake.notify_one();
}

void TimedDriveQuery::operator()(Currency& capacity, Currency& free, const std::string& rootPath)
{
    if (!ask(capacity, free, rootPath, m_shared->deadline, nullptr))
        capacity = FailureValue; // abandoned: the worker stays busy until the call returns
}

bool TimedDriveQuery::ask(Currency& capacity, Currency& free, const std::string& rootPath,
                          std::chrono::milliseconds wait, LateAnswer late)
{
    std::unique_lock lock(m_shared->mutex);
    auto found = m_shared->workers.find(rootPath);
    if (found == m_shared->workers.end()) {
        auto fresh = std::make_shared<Worker>(rootPath);
        try {
            std::thread([shared = m_shared, fresh] { shared->serve(fresh); }).detach();
        } catch (const std::system_error&) {
            capacity = FailureValue; // no thread to be had: the drive cannot be asked
            return true;
        }
        ++m_shared->threadsStarted;
        ++m_shared->threadsRunning;
        found = m_shared->workers.emplace(rootPath, std::move(fresh)).first;
    }
    const std::shared_ptr<Worker> worker = found->second;

    // An earlier query of this path is still inside the system. It is not asked
    // again: within the deadline, an asker that can take a late answer takes
    // over that query's answer, as its own refresh supersedes the earlier one;
    // otherwise the drive counts as dead and the query fails at once. Once that
    // call returns, the same thread serves the path again.
    if (worker->busy) {
        if (!late || std::chrono::steady_clock::now() - worker->askedAt >= m_shared->deadline) {
            capacity = FailureValue;
            return true;
        }
        worker->late = nullptr;
    } else {
        worker->capacity = capacity;
        worker->free = free;
        worker->pending = true;
        worker->busy = true;
        worker->askedAt = std::chrono::steady_clock::now();
        worker->wake.notify_one();
    }

    // Waited for asleep: waiting awake for a healthy drive's answer was measured
    // to cost more than the wake-up it saves.
    if (!worker->finished.wait_for(lock, wait, [&] { return !worker->busy; })) {
        worker->late = std::move(late);
        return false;
    }
    capacity = worker->capacity;
    if (capacity != FailureValue)
        free = worker->free;
    return true;
}

int TimedDriveQuery::threadsStarted() const
{
    return m_shared->threadsStarted.load();
}

int TimedDriveQuery::threadsRunning() const
{
    return m_shared->threadsRunning.load();
}
