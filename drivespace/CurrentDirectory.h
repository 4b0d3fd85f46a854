#pragma once

#include <string>

// The process's current directory, where the drive list starts: UTF-8 on
// Windows, the path's own bytes elsewhere; empty when it cannot be read.
[[nodiscard]] std::string currentDirectory();
