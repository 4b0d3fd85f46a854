#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace CommandLine {

// What the program says, and how it ends, when its arguments end it.
struct Reply {
    int exitStatus;   // 0 after --help or --version, 2 for an argument it does not know
    std::string text; // for standard output when the status is 0, else for standard error
};

// Answers -h or --help and --version, and refuses anything else, before the window
// system is touched (both work without a display); nothing to open the window.
[[nodiscard]] std::optional<Reply> Answer(std::span<const std::string_view> arguments);

// The line, with status 1, standing in for Qt's abort when the window system Qt would use
// (QT_QPA_PLATFORM, else X or Wayland) has no display named (DISPLAY, WAYLAND_DISPLAY);
// nothing when the window may open. Null stands for unset.
[[nodiscard]] std::optional<Reply> NoDisplay(const char* platform, const char* display, const char* waylandDisplay);

} // namespace CommandLine
