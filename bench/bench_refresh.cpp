#include "app/MainWindowBehaviour.h"
#include "app/mainform.h"
#include "drivespace/GetDiskSpace.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// One whole refresh of "/" (yield, query, chart, three figures), with the query
// called directly and through the drive query helper process.
std::unique_ptr<mainform> windowOnRoot(bool direct)
{
    mainform::Seams seams;
    if (direct)
        seams.queryDriveSpace = GetDiskSpace::QueryDriveSpace;
    seams.listDrives = [] { return std::vector<DriveList::DriveEntry>{{"/ [root]", "/"}}; };
    return std::make_unique<mainform>(seams);
}

void BM_RefreshDisplay_DirectQuery(benchmark::State& state)
{
    const auto window = windowOnRoot(true);
    for (auto _ : state)
        window->behaviour().RefreshDisplay();
}
BENCHMARK(BM_RefreshDisplay_DirectQuery);

void BM_RefreshDisplay_HelperQuery(benchmark::State& state)
{
    const auto window = windowOnRoot(false);
    for (auto _ : state)
        window->behaviour().RefreshDisplay();
}
BENCHMARK(BM_RefreshDisplay_HelperQuery);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Keep the benchmark away from the user's own settings.
    const QTemporaryDir configHome;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, configHome.path());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
