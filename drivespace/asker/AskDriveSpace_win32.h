#pragma once

#include "drivespace/asker/AskDriveSpace.h"

#include <functional>
#include <string>

// Windows' asker over the given query: GetDiskSpace::QueryDriveSpace in the
// program, a test's stand-in in the tests. A fixed local disk is asked in
// place once it is known to be one; network, removable and unknown drives on
// a worker thread per drive, with the deadline. Every thread asks with the
// critical-error box off.
using AnswerQuery = std::function<void(DriveAnswer& answer, const std::string& rootPath)>;
[[nodiscard]] AskDriveSpace driveSpaceAskerOver(AnswerQuery query);
