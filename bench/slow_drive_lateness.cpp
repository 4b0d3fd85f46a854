// How late a 50 ms timer in the window fires while the selected drive answers
// every query after 900 ms, as a slow network share does: the window's refresh
// must not hold the event loop while it waits. Prints the median and the worst
// lateness over ten seconds.
//
//   slow_drive_lateness [answer-delay-ms]
#include "app/qt/MainForm.h"
#include "drivespace/asker/OneQueryPerPath.h"
#include "drivespace/asker/ThreadTransport.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QTemporaryDir configHome; // away from the user's own settings
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    const auto delay = std::chrono::milliseconds(argc > 1 ? std::atoi(argv[1]) : 900);

    // Asked on a worker thread under the per-path rule, as the Windows program asks.
    auto slowDrive = std::make_shared<OneQueryPerPath<DriveAnswer>>(
        std::make_shared<ThreadTransport<DriveAnswer>>(
            [delay](DriveAnswer& answer, const std::string&) {
                std::this_thread::sleep_for(delay);
                answer = {Currency::fromStored(1'000'000'000), Currency::fromStored(400'000'000)};
            },
            std::chrono::seconds(30)),
        OneQueryPerPath<DriveAnswer>::Options{});
    const auto ask = [slowDrive](DriveAnswer& answer, const std::string& rootPath, std::chrono::milliseconds wait,
                                 LateDriveAnswer late) {
        return slowDrive->ask(answer, rootPath, wait, std::move(late));
    };
    const auto slow = [](const DriveList::LateDriveText&) {
        return std::vector<DriveList::DriveEntry>{{"/ [slow]", "/"}};
    };
    SettingsStore settings("Quillmar");
    mainform window(Services{ask, settings, slow, std::chrono::steady_clock::now, "/"});
    window.show();

    constexpr int IntervalMs = 50;
    std::vector<qint64> lateness;
    QElapsedTimer clock;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(IntervalMs);
    qint64 expected = IntervalMs;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        lateness.push_back(std::max<qint64>(now - expected, 0));
        expected = now + IntervalMs;
        if (now >= 10'000)
            app.quit();
    });
    clock.start();
    probe.start();
    app.exec();

    std::sort(lateness.begin(), lateness.end());
    std::printf("drive answering after %lld ms: %zu firings of a %d ms timer, late by median %lld ms, worst %lld ms; "
                "the window shows %s\n",
                static_cast<long long>(delay.count()), lateness.size(), IntervalMs, lateness[lateness.size() / 2],
                lateness.back(),
                qPrintable(window.findChild<QWidget*>(QStringLiteral("lblTOTAL"))->property("text").toString()));
    return 0;
}
