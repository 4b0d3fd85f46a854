#pragma once

#include <cstdint>

// What the program and its query process (the helper, or a forked child) say
// over their socket pair, one message per packet: the process says hello first;
// then each question is a root path's bytes, each answer the stored integers of
// capacity, free and available.
namespace HelperProtocol {

inline constexpr const char* ProgramName = "quillmar-drive-query";

// Which protocol the process speaks: a helper of another version (a package
// upgraded under a running program) must not be asked.
struct Hello {
    std::uint32_t version;
};
inline constexpr Hello Greeting{2};

// A failed query answers the capacity FailureValue; any other answer has
// 0 <= available <= free <= capacity.
struct Answer {
    std::int64_t capacity;
    std::int64_t free;
    std::int64_t available;
};

// A process ends after this long without a question; the program stops asking
// an idle one sooner, so that the two never cross.
inline constexpr int HelperIdleExitSeconds = 40;
inline constexpr int ProgramIdleLimitSeconds = HelperIdleExitSeconds - 5;

} // namespace HelperProtocol
