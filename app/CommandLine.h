#pragma once

#include <optional>
#include <ostream>
#include <span>
#include <string_view>

namespace CommandLine {

// Answers --help and --version, and refuses anything else, before the window
// system is touched, so that both work without a display. Returns the exit
// status when the program should end here (0 after --help or --version, 2 for
// an argument it does not know), or nothing when it should open its window.
[[nodiscard]] std::optional<int> Answer(std::span<const std::string_view> arguments, std::ostream& out,
                                        std::ostream& err);

} // namespace CommandLine
