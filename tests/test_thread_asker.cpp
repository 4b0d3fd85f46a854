#include "drivespace/asker/OneQueryPerPath.h"
#include "drivespace/asker/ThreadTransport.h"
#include "tests/RowName.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <future>
#include <limits>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#ifdef _WIN32
#include "drivespace/asker/AskDriveSpace_win32.h"

#include <windows.h>
#endif

namespace {

using namespace std::chrono_literals;

// Long enough that a drive that answers at once always beats it, even on a
// loaded machine or under wine; the blocked drive never answers before it.
constexpr auto Generous = 10s;
constexpr auto Short = 50ms;
// Where a test needs both a blocked and an answering path on one object.
constexpr auto Mixed = 250ms;

constexpr std::int64_t Capacity = 1'000;
constexpr std::int64_t Free = 999;
constexpr std::int64_t CallerFree = 77; // what the caller passes in as free
const std::string Stuck = "/stuck";

// A fake drive query: the path Stuck blocks until the test releases it, every
// other path answers at once with Capacity and Free.
struct DeadDrive {
    std::mutex mutex;
    std::condition_variable changed;
    bool released = false;
    int calls = 0;
    int stuckCalls = 0;
    int stuckReturned = 0;
    int threadsAsking = 0; // worker threads that have asked it

    void release()
    {
        const std::lock_guard lock(mutex);
        released = true;
        changed.notify_all();
    }

    [[nodiscard]] bool waitStuckReturned()
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 10s, [&] { return stuckReturned > 0; });
    }

    [[nodiscard]] int callCount()
    {
        const std::lock_guard lock(mutex);
        return calls;
    }

    [[nodiscard]] int threadCount()
    {
        const std::lock_guard lock(mutex);
        return threadsAsking;
    }
};

using Query = ThreadTransport<DriveAnswer>::Query;
using Asker = OneQueryPerPath<DriveAnswer>;

// The asker as the program builds it on Windows: the per-path rule over worker
// threads.
std::unique_ptr<Asker> askerOver(Query query, std::chrono::milliseconds deadline,
                                 std::chrono::milliseconds idleTimeout = 30s)
{
    Asker::Options options;
    options.deadline = deadline;
    return std::make_unique<Asker>(std::make_shared<ThreadTransport<DriveAnswer>>(std::move(query), idleTimeout),
                                   options);
}

Query queryOf(const std::shared_ptr<DeadDrive>& drive)
{
    return [drive](DriveAnswer& answer, const std::string& rootPath) {
        // Which drive this thread has asked: a thread serves one asker.
        thread_local const DeadDrive* asked = nullptr;
        std::unique_lock lock(drive->mutex);
        if (asked != drive.get())
            ++drive->threadsAsking;
        asked = drive.get();
        ++drive->calls;
        if (rootPath == Stuck) {
            ++drive->stuckCalls;
            drive->changed.wait(lock, [&] { return drive->released; });
            ++drive->stuckReturned;
            drive->changed.notify_all();
        }
        answer.capacity = Currency::fromStored(Capacity);
        answer.free = Currency::fromStored(Free);
    };
}

// Asks as the window does, waiting up to `wait` with nobody to take a late
// answer: one that does not come in time is a failure.
DriveAnswer askFor(Asker& query, const std::string& rootPath, std::chrono::milliseconds wait)
{
    DriveAnswer answer{Currency::fromStored(-1), Currency::fromStored(CallerFree)};
    if (!query.ask(answer, rootPath, wait, nullptr))
        answer.capacity = FailureValue;
    return answer;
}

// True once nobody holds the fake any more: the test has dropped it and every
// worker thread has ended and dropped its copy of the query. Polled, since a
// detached thread cannot be joined.
[[nodiscard]] bool waitForThreadsToEnd(const std::weak_ptr<DeadDrive>& drive)
{
    for (int i = 0; i < 1000 && !drive.expired(); ++i)
        std::this_thread::sleep_for(10ms);
    return drive.expired();
}

struct AnswerCase {
    const char* name;
    Query query;
    std::int64_t capacity;
    std::int64_t free;
};

const AnswerCase answerCases[] = {
    {"Ordinary",
     [](DriveAnswer& a, const std::string&) {
         a = {Currency::fromStored(500'000'000'000), Currency::fromStored(123'456'789)};
     },
     500'000'000'000, 123'456'789},
    {"NoFreeSpace",
     [](DriveAnswer& a, const std::string&) { a = {Currency::fromStored(1'000), Currency::fromStored(0)}; }, 1'000, 0},
    {"Largest",
     [](DriveAnswer& a, const std::string&) {
         a = {Currency::fromStored(std::numeric_limits<std::int64_t>::max()),
              Currency::fromStored(std::numeric_limits<std::int64_t>::max())};
     },
     std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::max()},
    {"FreeAboveCapacity",
     [](DriveAnswer& a, const std::string&) { a = {Currency::fromStored(4'096), Currency::fromStored(8'192)}; },
     4'096, 8'192},
    {"NoMedium", [](DriveAnswer& a, const std::string&) { a.capacity = FailureValue; }, FailureValue.stored(),
     CallerFree},
    // A failing query that scribbles on free anyway must not reach the caller.
    {"FailureWritesFree",
     [](DriveAnswer& a, const std::string&) { a = {FailureValue, Currency::fromStored(5)}; }, FailureValue.stored(),
     CallerFree},
};

class ThreadAskerAnswer : public testing::TestWithParam<AnswerCase> {};

TEST_P(ThreadAskerAnswer, PassesTheFiguresThrough)
{
    const auto& c = GetParam();
    const auto query = askerOver(c.query, Generous);
    const DriveAnswer answer = askFor(*query, "/a", Generous);
    EXPECT_EQ(answer.capacity.stored(), c.capacity);
    EXPECT_EQ(answer.free.stored(), c.free);
}

INSTANTIATE_TEST_SUITE_P(Table, ThreadAskerAnswer, testing::ValuesIn(answerCases), RowName{});

TEST(ThreadAsker, PassesTheRootPathUnchanged)
{
    std::string seen;
    const auto query = askerOver(
        [&](DriveAnswer& answer, const std::string& rootPath) {
            seen = rootPath;
            answer.capacity = Currency::fromStored(1);
        },
        Generous);
    (void)askFor(*query, "/media/usb stick", Generous);
    EXPECT_EQ(seen, "/media/usb stick");
}

TEST(ThreadAsker, HealthyDriveReusesOneThreadPerPath)
{
    const auto drive = std::make_shared<DeadDrive>();
    const auto query = askerOver(queryOf(drive), Generous);
    for (int i = 0; i < 200; ++i) {
        const DriveAnswer answer = askFor(*query, i % 2 == 0 ? "/a" : "/b", Generous);
        ASSERT_EQ(answer.capacity.stored(), Capacity) << "call " << i;
        ASSERT_EQ(answer.free.stored(), Free) << "call " << i;
    }
    EXPECT_EQ(drive->threadCount(), 2);
    EXPECT_EQ(drive->callCount(), 200);
}

TEST(ThreadAsker, BlockedDriveFailsAndIsNotAskedAgainUntilItReturns)
{
    const auto drive = std::make_shared<DeadDrive>();
    const auto query = askerOver(queryOf(drive), Mixed);
    DriveAnswer answer = askFor(*query, Stuck, Mixed);
    EXPECT_EQ(answer.capacity, FailureValue);
    EXPECT_EQ(answer.free.stored(), CallerFree);
    {
        const std::lock_guard lock(drive->mutex);
        EXPECT_EQ(drive->stuckCalls, 1);
        EXPECT_EQ(drive->stuckReturned, 0) << "the call must come back while the drive is still blocked";
    }
    EXPECT_EQ(drive->threadCount(), 1);

    // The same path again: fails without a new thread and without asking.
    answer = askFor(*query, Stuck, Mixed);
    EXPECT_EQ(answer.capacity, FailureValue);
    EXPECT_EQ(answer.free.stored(), CallerFree);
    EXPECT_EQ(drive->threadCount(), 1);
    EXPECT_EQ(drive->callCount(), 1);

    // Another path is not held up by the blocked one.
    answer = askFor(*query, "/other", Mixed);
    EXPECT_EQ(answer.capacity.stored(), Capacity);
    EXPECT_EQ(answer.free.stored(), Free);
    EXPECT_EQ(drive->threadCount(), 2);

    // Once the blocked call returns, the path answers again, served by the
    // thread that was blocked. Between the fake's return and its worker
    // becoming idle a query still fails at once, hence the bounded retries.
    drive->release();
    ASSERT_TRUE(drive->waitStuckReturned());
    answer.capacity = FailureValue;
    for (int attempt = 0; attempt < 1000 && answer.capacity == FailureValue; ++attempt) {
        if (attempt > 0)
            std::this_thread::sleep_for(1ms);
        answer = askFor(*query, Stuck, Mixed);
    }
    EXPECT_EQ(answer.capacity.stored(), Capacity);
    EXPECT_EQ(answer.free.stored(), Free);
    EXPECT_EQ(drive->threadCount(), 2);
}

TEST(ThreadAsker, DestroyingWhileBlockedNeitherWaitsNorCrashes)
{
    auto drive = std::make_shared<DeadDrive>();
    const std::weak_ptr<DeadDrive> watch = drive;
    {
        const auto query = askerOver(queryOf(drive), Short);
        const DriveAnswer answer = askFor(*query, Stuck, Short);
        EXPECT_EQ(answer.capacity, FailureValue);
        EXPECT_EQ(answer.free.stored(), CallerFree);
    }
    // The object is gone while its worker still sits in the query.
    {
        const std::lock_guard lock(drive->mutex);
        EXPECT_EQ(drive->stuckReturned, 0);
    }
    drive->release();
    ASSERT_TRUE(drive->waitStuckReturned());
    drive.reset();
    EXPECT_TRUE(waitForThreadsToEnd(watch)) << "the worker did not end after its call returned";
}

TEST(ThreadAsker, IdleWorkersEndWithTheObject)
{
    auto drive = std::make_shared<DeadDrive>();
    const std::weak_ptr<DeadDrive> watch = drive;
    {
        const auto query = askerOver(queryOf(drive), Generous);
        (void)askFor(*query, "/a", Generous);
        (void)askFor(*query, "/b", Generous);
        EXPECT_EQ(drive->threadCount(), 2);
    }
    drive.reset();
    EXPECT_TRUE(waitForThreadsToEnd(watch)) << "an idle worker outlived its query object";
}

TEST(ThreadAsker, AnAnswerAfterTheWaitGoesToTheLateCallback)
{
    const auto drive = std::make_shared<DeadDrive>();
    const auto query = askerOver(queryOf(drive), Generous);
    DriveAnswer answer{Currency::fromStored(-1), Currency::fromStored(CallerFree)};
    EXPECT_FALSE(query->ask(answer, Stuck, Short, [](const DriveAnswer&) { ADD_FAILURE() << "superseded"; }));
    EXPECT_EQ(answer.free.stored(), CallerFree);
    // Asked again within the deadline, the path is not asked twice: the newer
    // asker takes over the answer.
    std::promise<DriveAnswer> late;
    EXPECT_FALSE(query->ask(answer, Stuck, Short, [&late](const DriveAnswer& given) { late.set_value(given); }));
    EXPECT_EQ(drive->callCount(), 1);

    drive->release();
    auto given = late.get_future();
    ASSERT_EQ(given.wait_for(Generous), std::future_status::ready);
    const DriveAnswer lateAnswer = given.get();
    EXPECT_EQ(lateAnswer.capacity.stored(), Capacity);
    EXPECT_EQ(lateAnswer.free.stored(), Free);
}

TEST(ThreadAsker, AWorkerNotAskedForItsIdleTimeEnds)
{
    const auto drive = std::make_shared<DeadDrive>();
    const auto query = askerOver(queryOf(drive), Generous, Short);
    (void)askFor(*query, "/a", Generous);
    // Held by the test and the asker's own copy of the query alone: the worker
    // has ended and dropped its copy. Polled, since a detached thread cannot
    // be joined.
    for (int i = 0; i < 1000 && drive.use_count() > 2; ++i)
        std::this_thread::sleep_for(10ms);
    ASSERT_EQ(drive.use_count(), 2);

    // The path is served again, by a new worker.
    EXPECT_EQ(askFor(*query, "/a", Generous).capacity.stored(), Capacity);
    EXPECT_EQ(drive->threadCount(), 2);
}

#ifdef _WIN32

struct ErrorModeCase {
    const char* name;
    // Asks of C:\ before the one looked at, each answered at once.
    int asksBefore;
};

// Under wine every drive is a fixed disk, C:\ too. One that has answered is
// asked on a worker thread still: it may stop answering while shown.
const ErrorModeCase errorModeCases[] = {
    {"FirstAsk", 0},
    {"AfterTheDriveAnswered", 2},
};

class WindowsAskerErrorMode : public testing::TestWithParam<ErrorModeCase> {};

// An empty card reader or CD drive must never bring up Windows' box asking for
// a disk. Wine never shows that box, so the error mode that keeps it away is
// read on the thread where the query runs; never the caller's own thread,
// which a drive that does not answer would hold.
TEST_P(WindowsAskerErrorMode, AsksOnAWorkerThreadWithTheCriticalErrorBoxOff)
{
    constexpr UINT NoBoxes = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;
    UINT mode = 0;
    std::thread::id askedOn;
    const AskDriveSpace ask = driveSpaceAskerOver([&](DriveAnswer& answer, const std::string&) {
        mode = GetThreadErrorMode();
        askedOn = std::this_thread::get_id();
        answer = {Currency::fromStored(Capacity), Currency::fromStored(Free), Currency::fromStored(Free - 1)};
    });
    DriveAnswer answer;
    for (int i = 0; i <= GetParam().asksBefore; ++i)
        ASSERT_TRUE(ask(answer, "C:\\", Generous, {}));
    EXPECT_NE(askedOn, std::this_thread::get_id());
    EXPECT_EQ(mode & NoBoxes, NoBoxes);
    // The whole answer comes through: the part this user may write too.
    EXPECT_EQ(answer.available, Currency::fromStored(Free - 1));
}

INSTANTIATE_TEST_SUITE_P(Table, WindowsAskerErrorMode, testing::ValuesIn(errorModeCases), RowName{});

#endif

} // namespace
