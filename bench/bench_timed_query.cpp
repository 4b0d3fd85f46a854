#include "drivespace/GetDiskSpace.h"
#include "drivespace/TimedDriveQuery.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// The drive query as the refresh made it before the deadline: the yardstick.
void BM_DirectQuery_Root(benchmark::State& state)
{
    Currency capacity;
    Currency free;
    const std::string root = "/";
    for (auto _ : state) {
        GetDiskSpace::QueryDriveSpace(capacity, free, root);
        benchmark::DoNotOptimize(capacity);
        benchmark::DoNotOptimize(free);
    }
}
BENCHMARK(BM_DirectQuery_Root);

// The same query handed to the path's worker thread and waited for: the
// difference to the one above is what the deadline costs a healthy drive.
void BM_TimedQuery_Root(benchmark::State& state)
{
    TimedDriveQuery query;
    Currency capacity;
    Currency free;
    const std::string root = "/";
    for (auto _ : state) {
        query(capacity, free, root);
        benchmark::DoNotOptimize(capacity);
        benchmark::DoNotOptimize(free);
    }
    if (capacity == FailureValue)
        state.SkipWithError("the query of / failed");
}
BENCHMARK(BM_TimedQuery_Root);

// The hand-off alone, with a query that does nothing.
void BM_TimedQuery_EmptyQuery(benchmark::State& state)
{
    TimedDriveQuery query(
        [](Currency& capacity, Currency&, const std::string&) { capacity = Currency::fromStored(1); });
    Currency capacity;
    Currency free;
    const std::string root = "/";
    for (auto _ : state) {
        query(capacity, free, root);
        benchmark::DoNotOptimize(capacity);
    }
}
BENCHMARK(BM_TimedQuery_EmptyQuery);

} // namespace
