#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace CommandLine {

// Answers --help and --version, and refuses anything else, before the window
// system is touched, so that both work without a display.
struct Reply {
    int exitStatus;   // 0 after --help or --version, 2 for an argument it does not know
    std::string text; // for standard output when the status is 0, else for standard error
};

// The reply when the program should end here, or nothing when it should open
// its window.
[[nodiscard]] std::optional<Reply> Answer(std::span<const std::string_view> arguments);

} // namespace CommandLine
