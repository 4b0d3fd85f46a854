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

// Answers --help and --version, and refuses anything else, before the window
// system is touched, so that both work without a display. Nothing when the
// program should open its window.
[[nodiscard]] std::optional<Reply> Answer(std::span<const std::string_view> arguments);

} // namespace CommandLine
