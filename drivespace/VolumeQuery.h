#pragma once

#include "drivespace/VolumeCounts.h"

// The volume whose root is rootPath (a mount point), asked with system calls
// alone: no allocation and no lock, so that a child forked from a program with
// threads may call it. False when rootPath is not a mount root or cannot be
// asked.
[[nodiscard]] bool QueryVolume(const char* rootPath, VolumeCounts& counts);
