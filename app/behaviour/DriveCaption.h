#pragma once

#include "drivespace/drives/DriveList.h"

#include <string>

// The drive as the window caption names it after "Disk Usage: ": on Windows the
// list's text in upper case ("D: [BACKUP]"), elsewhere as listed, since paths
// there are case-sensitive.
[[nodiscard]] std::string DriveCaption(const DriveList::DriveEntry& drive);
