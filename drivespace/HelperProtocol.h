#pragma once

#include <cstddef>
#include <cstdint>

// What the program and its drive query helper say to each other over their
// socket pair (one message per packet): the program sends a root path's bytes,
// the helper answers with the stored integers of capacity and free.
namespace HelperProtocol {

// The helper's file name, looked for beside the program.
inline constexpr const char* ProgramName = "quillmar-drive-query";

// Longer paths are answered as failures.
inline constexpr std::size_t MaxPathBytes = 65'536;

struct Answer {
    std::int64_t capacity;
    std::int64_t free;
};

// The helper ends after this long without a question; the program stops asking
// an idle helper some seconds sooner, so that the two never cross.
inline constexpr int HelperIdleExitSeconds = 40;

} // namespace HelperProtocol
