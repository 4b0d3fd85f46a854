#include "settings/SettingsFile.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// A hand-kept settings file of about 50 MB: a long comment section, other
// sections, and the program's own section at the end.
std::string largeFile()
{
    std::string text = "# notes\n";
    for (int i = 0; text.size() < 50'000'000; ++i)
        text += "[Section" + std::to_string(i) + "]\nKey = \"some value, " + std::to_string(i) +
                "\" ; a comment\n; a comment line of some length, as people write them\n";
    text += "[Settings]\nDrive=/media/usb\nX=1440\nY=720\nUsedColor=255\nFreeColor=12428157\n";
    return text;
}

const SettingsFile::Values saved{
    {"Drive", "/media/caf\xe9"}, {"X", "96"}, {"Y", "48"}, {"UsedColor", "1"}, {"FreeColor", "2"}};

void BM_ReadSection_50MB(benchmark::State& state)
{
    const std::string text = largeFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(SettingsFile::ReadSection(text, "Settings"));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ReadSection_50MB)->Unit(benchmark::kMillisecond);

void BM_WithValues_50MB(benchmark::State& state)
{
    const std::string text = largeFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(SettingsFile::WithValues(text, "Settings", saved));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_WithValues_50MB)->Unit(benchmark::kMillisecond);

} // namespace
