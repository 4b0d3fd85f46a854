#pragma once

#include "drivespace/VolumeCounts.h"

// The volume whose root is rootPath, asked with system calls alone (no allocation,
// no lock: a forked child may call it). False when it is no mount root or cannot be asked.
[[nodiscard]] bool QueryVolume(const char* rootPath, VolumeCounts& counts);
