#pragma once

#include "drivespace/asker/AskDriveSpace.h"

#include <functional>
#include <string>

// Windows' asker over the given query: GetDiskSpace::QueryDriveSpace in the
// program, a test's stand-in in the tests. Every drive is asked on a worker
// thread of its own under the rule of OneQueryPerPath, with the critical-error
// box off.
using AnswerQuery = std::function<void(DriveAnswer& answer, const std::string& rootPath)>;
[[nodiscard]] AskDriveSpace driveSpaceAskerOver(AnswerQuery query);
