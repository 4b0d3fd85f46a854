#include "drivespace/GetDiskSpace.h"
#include "drivespace/asker/HelperProgram.h"
#include "drivespace/asker/OneQueryPerPath.h"
#include "drivespace/asker/ProcessTransport.h"
#include "drivespace/asker/ThreadTransport.h"
#include "drivespace/drives/DriveList.h"

#include <benchmark/benchmark.h>

#include <sys/statvfs.h>

#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <string>

namespace {

void BM_FormatByteCount_Small(benchmark::State& state)
{
    const Currency count = Currency::fromStored(999);
    for (auto _ : state)
        benchmark::DoNotOptimize(GetDiskSpace::FormatByteCount(count));
}
BENCHMARK(BM_FormatByteCount_Small);

void BM_FormatByteCount_Typical(benchmark::State& state)
{
    const Currency count = Currency::fromStored(536'870'912'000);
    for (auto _ : state)
        benchmark::DoNotOptimize(GetDiskSpace::FormatByteCount(count));
}
BENCHMARK(BM_FormatByteCount_Typical);

void BM_FormatByteCount_Smallest(benchmark::State& state)
{
    const Currency count = Currency::fromStored(std::numeric_limits<std::int64_t>::min());
    for (auto _ : state)
        benchmark::DoNotOptimize(GetDiskSpace::FormatByteCount(count));
}
BENCHMARK(BM_FormatByteCount_Smallest);

// The bare system call, as the yardstick for the query below.
void BM_BareStatvfs_Root(benchmark::State& state)
{
    struct statvfs volume {};
    for (auto _ : state) {
        benchmark::DoNotOptimize(statvfs("/", &volume));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BareStatvfs_Root);

void BM_QueryDriveSpace_Root(benchmark::State& state)
{
    DriveAnswer answer;
    const std::string root = "/";
    for (auto _ : state) {
        GetDiskSpace::QueryDriveSpace(answer, root);
        benchmark::DoNotOptimize(answer);
    }
}
BENCHMARK(BM_QueryDriveSpace_Root);

// Asks for "/" through `ask` (an asker's contract, nobody to take a late
// answer) at every iteration.
template <class Asker> void askRoot(benchmark::State& state, Asker& asker)
{
    DriveAnswer answer;
    const std::string root = "/";
    for (auto _ : state) {
        if (!asker.ask(answer, root, DriveAnswerDeadline, nullptr))
            answer.capacity = FailureValue;
        benchmark::DoNotOptimize(answer);
    }
    if (answer.capacity == FailureValue)
        state.SkipWithError("the query of / failed");
}

// The asker of the Windows program: the per-path rule over worker threads.
OneQueryPerPath<DriveAnswer> threadAskerOver(ThreadTransport<DriveAnswer>::Query query)
{
    return {std::make_shared<ThreadTransport<DriveAnswer>>(std::move(query), std::chrono::seconds(30)), {}};
}

// The same query handed to the path's worker thread and waited for: the
// difference to the one above is what the deadline costs a healthy drive.
void BM_ThreadQuery_Root(benchmark::State& state)
{
    auto asker = threadAskerOver(
        [](DriveAnswer& answer, const std::string& root) { GetDiskSpace::QueryDriveSpace(answer, root); });
    askRoot(state, asker);
}
BENCHMARK(BM_ThreadQuery_Root);

// The same query asked of the helper process beside this program.
void BM_HelperQuery_Root(benchmark::State& state)
{
    OneQueryPerPath<DriveAnswer> query(std::make_shared<ProcessTransport>(HelperProgram::Path()), {});
    askRoot(state, query);
}
BENCHMARK(BM_HelperQuery_Root);

// The hand-off alone, with a query that does nothing.
void BM_ThreadQuery_EmptyQuery(benchmark::State& state)
{
    auto asker =
        threadAskerOver([](DriveAnswer& answer, const std::string&) { answer.capacity = Currency::fromStored(1); });
    askRoot(state, asker);
}
BENCHMARK(BM_ThreadQuery_EmptyQuery);

// A mount table of 3,000 user mounts under one root, every tenth one
// over-mounted by a later mount at its parent directory.
std::string manyMounts()
{
    std::string table = "22 1 8:2 / / rw - ext4 /dev/sda2 rw\n";
    int id = 100;
    const auto line = [&table, &id](const std::string& point, const std::string& source) {
        ++id;
        table += std::to_string(id) + " 22 0:" + std::to_string(id) + " / " + point + " rw - ext4 " + source + " rw\n";
    };
    for (int i = 0; i < 3000; ++i) {
        const std::string dir = "/srv/d" + std::to_string(i / 10);
        line(dir + "/m" + std::to_string(i), "/dev/x" + std::to_string(i));
        if (i % 10 == 9)
            line(dir, "/dev/y" + std::to_string(i));
    }
    return table;
}

void BM_DrivesFromMountInfo_3000(benchmark::State& state)
{
    const std::string table = manyMounts();
    const std::map<std::string, std::string> labels;
    for (auto _ : state)
        benchmark::DoNotOptimize(DriveList::DrivesFromMountInfo(table, labels));
}
BENCHMARK(BM_DrivesFromMountInfo_3000)->Unit(benchmark::kMillisecond);

// Mounts each on the one before it, /srv/n, /srv/n/n, ... depth deep: the filter
// of mounts out of reach walks every chain of parents.
std::string nestedMounts(int depth)
{
    std::string table = "22 1 8:2 / / rw - ext4 /dev/sda2 rw\n";
    std::string point = "/srv";
    for (int id = 100; id < 100 + depth; ++id) {
        point += "/n";
        const std::string parent = id == 100 ? "22" : std::to_string(id - 1);
        table +=
            std::to_string(id) + " " + parent + " 0:" + std::to_string(id) + " / " + point + " rw - tmpfs tmpfs rw\n";
    }
    return table;
}

// The floor: as many mounts side by side on the root.
std::string mountsSideBySide(int count)
{
    std::string table = "22 1 8:2 / / rw - ext4 /dev/sda2 rw\n";
    for (int id = 100; id < 100 + count; ++id)
        table += std::to_string(id) + " 22 0:" + std::to_string(id) + " / /srv/n" + std::to_string(id) +
                 " rw - tmpfs tmpfs rw\n";
    return table;
}

void BM_DrivesFromMountInfo_Nested(benchmark::State& state)
{
    const std::string table = nestedMounts(static_cast<int>(state.range(0)));
    const std::map<std::string, std::string> labels;
    for (auto _ : state)
        benchmark::DoNotOptimize(DriveList::DrivesFromMountInfo(table, labels));
}
BENCHMARK(BM_DrivesFromMountInfo_Nested)->Arg(200)->Arg(400)->Arg(800)->Unit(benchmark::kMillisecond);

void BM_DrivesFromMountInfo_SideBySide(benchmark::State& state)
{
    const std::string table = mountsSideBySide(static_cast<int>(state.range(0)));
    const std::map<std::string, std::string> labels;
    for (auto _ : state)
        benchmark::DoNotOptimize(DriveList::DrivesFromMountInfo(table, labels));
}
BENCHMARK(BM_DrivesFromMountInfo_SideBySide)->Arg(200)->Arg(400)->Arg(800)->Unit(benchmark::kMillisecond);

} // namespace
