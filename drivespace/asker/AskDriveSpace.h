#pragma once

#include "drivespace/Currency.h"
#include "drivespace/DriveAnswer.h"

#include <chrono>
#include <functional>
#include <string>

// The drive space query as the window uses it: it waits only briefly, so that a
// slow drive never holds the window, and hands a later answer over when it
// comes.

// Receives an answer that came after the caller stopped waiting (its capacity
// FailureValue when the query failed). Called once, on another thread.
using LateDriveAnswer = std::function<void(const DriveAnswer& answer)>;

// Asks for the counts of rootPath and waits at most `wait`. True: the answer is
// in `answer`, with the contract of GetDiskSpace::QueryDriveSpace (on failure
// only the capacity changes, to FailureValue). False: the query is still out,
// and its answer goes to `late`.
// While a path's query is out, the path is not asked again. Within the
// deadline, a further query of it takes over the answer of the one that is out,
// whose own `late` is then never called (its refresh has been superseded).
// After it, or without a `late` to take the answer, it fails at once: the
// drive counts as not available.
// How long a drive may take to answer before it counts as not available.
inline constexpr std::chrono::milliseconds DriveAnswerDeadline{1000};

using AskDriveSpace = std::function<bool(DriveAnswer& answer, const std::string& rootPath,
                                         std::chrono::milliseconds wait, LateDriveAnswer late)>;

// The platform's asker: on POSIX systems the query runs in a helper process per
// path, so that a drive stuck in the kernel never holds this process; on
// Windows in a thread per path.
[[nodiscard]] AskDriveSpace platformDriveSpaceAsker();
