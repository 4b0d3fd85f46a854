#pragma once

#include "drivespace/asker/AskDriveSpace.h"

#include <functional>
#include <string>

// Windows' asker over a query (GetDiskSpace::QueryDriveSpace, or a test's stand-in):
// a worker thread per drive under OneQueryPerPath, with the critical-error box off.
using AnswerQuery = std::function<void(DriveAnswer& answer, const std::string& rootPath)>;
[[nodiscard]] AskDriveSpace driveSpaceAskerOver(AnswerQuery query);
