#include "app/CommandLine.h"

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

std::optional<int> Answer(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err)
{
    if (arguments.empty())
        return std::nullopt;
    const auto unknown = std::find_if(arguments.begin(), arguments.end(), [](std::string_view argument) {
        return argument != "--help" && argument != "--version";
    });
    if (unknown != arguments.end()) {
        err << "quillmar: unknown argument '" << *unknown << "' (try --help)\n";
        return 2;
    }
    if (std::find(arguments.begin(), arguments.end(), "--help") != arguments.end())
        out << Usage;
    else
        out << AppInfo::Title << ' ' << AppInfo::VersionNumber << '\n';
    return 0;
}

} // namespace CommandLine
