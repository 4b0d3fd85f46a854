#include "app/qt/CommandLine.h"

#include "AppInfo.h"

#include <algorithm>

namespace CommandLine {

namespace {

constexpr std::string_view Usage = "Usage: quillmar [-h | --help | --version]\n"
                                   "Shows how full a disk drive is: its capacity, used and free space\n"
                                   "in bytes and as a pie chart, refreshed every second.\n"
                                   "\n"
                                   "  -h, --help  show this help and exit\n"
                                   "  --version   show the version and exit\n";

[[nodiscard]] bool isHelp(std::string_view argument)
{
    return argument == "-h" || argument == "--help";
}

[[nodiscard]] bool isSet(const char* variable)
{
    return variable && *variable;
}

// Whether the platforms of QT_QPA_PLATFORM (fallbacks split by ';', options after
// ':') need a display: only X and Wayland, which Qt picks when none is named, do;
// offscreen, minimal and the like draw without one.
[[nodiscard]] bool needsDisplay(std::string_view platforms)
{
    while (!platforms.empty()) {
        const std::size_t end = std::min(platforms.find(';'), platforms.size());
        const std::string_view name = platforms.substr(0, std::min(platforms.find(':'), end));
        if (name != "xcb" && !name.starts_with("wayland"))
            return false;
        platforms.remove_prefix(std::min(end + 1, platforms.size()));
    }
    return true;
}

} // namespace

std::optional<Reply> Answer(std::span<const std::string_view> arguments)
{
    if (arguments.empty())
        return std::nullopt;
    const auto unknown = std::find_if(arguments.begin(), arguments.end(), [](std::string_view argument) {
        return !isHelp(argument) && argument != "--version";
    });
    if (unknown != arguments.end())
        return Reply{2, "quillmar: unknown argument '" + std::string(*unknown) + "' (try --help)\n"};
    if (std::any_of(arguments.begin(), arguments.end(), isHelp))
        return Reply{0, std::string(Usage)};
    return Reply{0, std::string(AppInfo::Title) + ' ' + std::string(AppInfo::VersionNumber) + '\n'};
}

std::optional<Reply> NoDisplay(const char* platform, const char* display, const char* waylandDisplay)
{
    if (isSet(display) || isSet(waylandDisplay) || (isSet(platform) && !needsDisplay(platform)))
        return std::nullopt;
    return Reply{1, "quillmar: cannot open a display: set DISPLAY or WAYLAND_DISPLAY\n"};
}

} // namespace CommandLine
