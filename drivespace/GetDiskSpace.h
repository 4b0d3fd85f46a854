#pragma once

#include "drivespace/Currency.h"
#include "drivespace/DriveAnswer.h"

#include <string>

// The drive space service: the query of a drive's size and free bytes, and the
// text of a byte count. Plain routines without state.
namespace GetDiskSpace {

// Asks the operating system for the capacity, the total free bytes and the part
// of them this user may write of the volume whose root is rootPath ("C:\" on
// Windows, a mount point such as "/" or "/media/usb" elsewhere). On failure
// only the capacity changes, to FailureValue; free and available are left as
// the caller gave them. Free is the whole volume's free space, including any
// part reserved for the superuser.
void QueryDriveSpace(DriveAnswer& answer, const std::string& rootPath);

// The stored integer in decimal digits, grouped by commas in threes from the
// right, with a leading "-" when negative: 1234567 -> "1,234,567". The same in
// every locale.
[[nodiscard]] std::string FormatByteCount(Currency count);

} // namespace GetDiskSpace
