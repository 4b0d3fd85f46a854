#include "drivespace/TimedDriveQuery.h"

#include "drivespace/GetDiskSpace.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace {

// How long a caller waits awake for the answer before it sleeps.
constexpr auto QuickAnswer = std::chrono::microseconds(200);

// One long-lived thread per root path, waiting for the next job. Owned jointly
// by the query object and by its own thread, so that a thread still blocked in
// the system call when the program closes finds its state alive on return.
struct Worker {
    std::mutex mutex;
    std::condition_variable wake;     // a job was posted, or the worker should stop
    std::condition_variable finished; // the posted job has returned
    bool pending = false;             // a job is waiting for the thread
    // From posting until the query has returned. Written under the mutex; read
    // without it while the caller waits awake for a quick answer.
    std::atomic<bool> busy = false;
    bool stop = false; // the query object is gone: end when idle
    std::string rootPath;
    Currency capacity;
    Currency free;
};

void serve(const std::shared_ptr<const TimedDriveQuery::Query>& query, const std::shared_ptr<Worker>& worker)
{
    std::unique_lock lock(worker->mutex);
    for (;;) {
        worker->wake.wait(lock, [&] { return worker->pending || worker->stop; });
        if (!worker->pending)
            return;
        worker->pending = false;
        const std::string rootPath = worker->rootPath;
        Currency capacity = worker->capacity;
        Currency free = worker->free;
        lock.unlock();
        // The call that may block for minutes: no lock is held meanwhile.
        try {
            (*query)(capacity, free, rootPath);
        } catch (...) {
            capacity = FailureValue;
        }
        lock.lock();
        worker->capacity = capacity;
        worker->free = free;
        worker->busy = false;
        worker->finished.notify_all();
    }
}

} // namespace

struct TimedDriveQuery::Shared {
    std::shared_ptr<const Query> query;
    std::chrono::milliseconds deadline;
    std::mutex mutex; // guards workers
    std::map<std::string, std::shared_ptr<Worker>, std::less<>> workers;
    std::atomic<int> threadsStarted = 0;
};

TimedDriveQuery::TimedDriveQuery(Query query, std::chrono::milliseconds deadline) : m_shared(std::make_shared<Shared>())
{
    m_shared->query = std::make_shared<const Query>(std::move(query));
    m_shared->deadline = deadline;
}

TimedDriveQuery::TimedDriveQuery() : TimedDriveQuery(&GetDiskSpace::QueryDriveSpace) {}

// Idle workers end at once; a blocked one ends when its call returns. Nothing
// here waits for either, so closing the program never hangs on a dead drive.
TimedDriveQuery::~TimedDriveQuery()
{
    const std::lock_guard guard(m_shared->mutex);
    for (auto& [path, worker] : m_shared->workers) {
        const std::lock_guard lock(worker->mutex);
        worker->stop = true;
        worker->wake.notify_one();
    }
}

void TimedDriveQuery::operator()(Currency& capacity, Currency& free, const std::string& rootPath)
{
    std::shared_ptr<Worker> worker;
    {
        const std::lock_guard guard(m_shared->mutex);
        auto found = m_shared->workers.find(rootPath);
        if (found == m_shared->workers.end()) {
            auto fresh = std::make_shared<Worker>();
            try {
                std::thread(serve, m_shared->query, fresh).detach();
            } catch (const std::system_error&) {
                capacity = FailureValue; // no thread to be had: the drive cannot be asked
                return;
            }
            ++m_shared->threadsStarted;
            found = m_shared->workers.emplace(rootPath, std::move(fresh)).first;
        }
        worker = found->second;
    }

    std::unique_lock lock(worker->mutex);
    // An earlier query of this path is still inside the system: this one
    // fails at once rather than queueing behind it. Once that call returns,
    // the same thread serves the path again.
    if (worker->busy) {
        capacity = FailureValue;
        return;
    }
    worker->rootPath = rootPath;
    worker->capacity = capacity;
    worker->free = free;
    worker->pending = true;
    worker->busy = true;
    worker->wake.notify_one();

    // A healthy drive answers within microseconds. Waiting for that awake saves
    // the wake-up of a sleeping caller, which costs more than the query itself;
    // a slower answer is waited for asleep.
    const auto start = std::chrono::steady_clock::now();
    lock.unlock();
    while (worker->busy.load(std::memory_order_acquire) && std::chrono::steady_clock::now() - start < QuickAnswer)
        std::this_thread::yield(); // on a single core, the worker needs this one
    lock.lock();

    const auto deadline = start + m_shared->deadline;
    if (!worker->finished.wait_until(lock, deadline, [&] { return !worker->busy; })) {
        capacity = FailureValue; // abandoned: the worker stays busy until the call returns
        return;
    }
    capacity = worker->capacity;
    if (capacity != FailureValue)
        free = worker->free;
}

int TimedDriveQuery::threadsStarted() const
{
    return m_shared->threadsStarted.load();
}
