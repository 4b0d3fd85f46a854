#include "app/behaviour/MainWindowBehaviour.h"
#include "app/qt/MainForm.h"
#include "drivespace/GetDiskSpace.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// One whole refresh of "/" (yield, query, chart, three figures), with the query
// called directly and through the drive query helper process.
std::unique_ptr<mainform> windowOnRoot(bool direct, SettingsStore& settings)
{
    AskDriveSpace ask = platformDriveSpaceAsker();
    if (direct)
        ask = [](DriveAnswer& answer, const std::string& rootPath, std::chrono::milliseconds, const LateDriveAnswer&) {
            GetDiskSpace::QueryDriveSpace(answer, rootPath);
            return true;
        };
    const auto root = [](const DriveList::LateDriveText&) {
        return std::vector<DriveList::DriveEntry>{{"/ [root]", "/"}};
    };
    return std::make_unique<mainform>(Services{ask, settings, root, std::chrono::steady_clock::now, "/"});
}

void BM_RefreshDisplay_DirectQuery(benchmark::State& state)
{
    SettingsStore settings("Quillmar");
    const auto window = windowOnRoot(true, settings);
    for (auto _ : state)
        window->behaviour().RefreshDisplay();
}
BENCHMARK(BM_RefreshDisplay_DirectQuery);

void BM_RefreshDisplay_HelperQuery(benchmark::State& state)
{
    SettingsStore settings("Quillmar");
    const auto window = windowOnRoot(false, settings);
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
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
