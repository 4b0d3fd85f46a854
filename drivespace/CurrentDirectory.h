#pragma once

#include <string>

// The process's current directory: UTF-8 on Windows, the path's own bytes
// elsewhere; empty when it cannot be read. The drive list starts on the drive
// that holds it.
[[nodiscard]] std::string currentDirectory();
