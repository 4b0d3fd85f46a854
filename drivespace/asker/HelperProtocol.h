#pragma once

#include <cstdint>

// What the program and whatever answers its drive space questions out of
// process (the helper program, or a child the program forked) say to each
// other over their socket pair, one message per packet. The other side first
// says hello, before any question; then the program sends a root path's bytes
// and the other side answers with the stored integers of capacity, free and
// available.
namespace HelperProtocol {

// The helper's file name.
inline constexpr const char* ProgramName = "quillmar-drive-query";

// Which protocol the other side speaks: a helper left from another version of
// the program (a package upgraded under a running program) must not be asked.
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

// The other side ends after this long without a question; the program stops
// asking an idle one some seconds sooner, so that the two never cross.
inline constexpr int HelperIdleExitSeconds = 40;
inline constexpr int ProgramIdleLimitSeconds = HelperIdleExitSeconds - 5;

} // namespace HelperProtocol
