#pragma once

#include "drivespace/Currency.h"
#include "drivespace/DriveAnswer.h"

#include <chrono>
#include <functional>
#include <string>

// The drive space query as the window uses it: it waits only briefly, so that a
// slow drive never holds the window, and hands a later answer over when it comes.

// Receives an answer that came after the caller stopped waiting (its capacity
// FailureValue when the query failed). Called once, on another thread.
using LateDriveAnswer = std::function<void(const DriveAnswer& answer)>;

// How long a drive may take to answer before it counts as not available.
inline constexpr std::chrono::milliseconds DriveAnswerDeadline{1000};

// Asks for the counts of rootPath and waits at most `wait`. True: the answer is
// in `answer` (as GetDiskSpace::QueryDriveSpace gives it). False: the query is
// still out, and its answer goes to `late`. While it is out, the path is not
// asked again: within the deadline a further ask takes its answer over (the
// earlier `late` is never called); past it, or without a `late`, it fails at once.
using AskDriveSpace = std::function<bool(DriveAnswer& answer, const std::string& rootPath,
                                         std::chrono::milliseconds wait, LateDriveAnswer late)>;

// The platform's asker: a helper process per path on POSIX systems, so a drive
// stuck in the kernel never holds this process; a thread per path on Windows.
[[nodiscard]] AskDriveSpace platformDriveSpaceAsker();
