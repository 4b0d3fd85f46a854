#include "app/qt/CommandLine.h"

#include "AppInfo.h"

#include <algorithm>

namespace CommandLine {

namespace {

constexpr std::string_view Usage = "Usage: quillmar [--help | --version]\n"
                                   "Shows how full a disk drive is: its capacity, used and free space\n"
                                   "in bytes and as a pie chart, refreshed every second.\n"
                                   "\n"
                                   "  --help     show this help and exit\n"
                                   "  --version  show the version and exit\n";

} // namespace

std::optional<Reply> Answer(std::span<const std::string_view> arguments)
{
    if (arguments.empty())
        return std::nullopt;
    const auto unknown = std::find_if(arguments.begin(), arguments.end(), [](std::string_view argument) {
        return argument != "--help" && argument != "--version";
    });
    if (unknown != arguments.end())
        return Reply{2, "quillmar: unknown argument '" + std::string(*unknown) + "' (try --help)\n"};
    if (std::find(arguments.begin(), arguments.end(), "--help") != arguments.end())
        return Reply{0, std::string(Usage)};
    return Reply{0, std::string(AppInfo::Title) + ' ' + std::string(AppInfo::VersionNumber) + '\n'};
}

} // namespace CommandLine
