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
// system is touched, so that both work without a display. Nothing when the
// program should open its window.
[[nodiscard]] std::optional<Reply> Answer(std::span<const std::string_view> arguments);

// The one line, and status 1, that stand in for Qt's abort when the window
// system Qt would use (QT_QPA_PLATFORM, or X or Wayland when it is unset) has
// no display named (DISPLAY, WAYLAND_DISPLAY). Nothing when the window may
// open. Null pointers stand for unset variables.
[[nodiscard]] std::optional<Reply> NoDisplay(const char* platform, const char* display, const char* waylandDisplay);

} // namespace CommandLine
