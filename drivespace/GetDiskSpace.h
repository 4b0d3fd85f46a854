#pragma once

#include "drivespace/Currency.h"
#include "drivespace/DriveAnswer.h"

#include <string>

// The drive space service: a drive's size and free bytes, and a byte count's text.
namespace GetDiskSpace {

// The capacity, total free bytes (any superuser's reserve included) and the part
// this user may write of the volume whose root is rootPath ("C:\", or a mount
// point such as "/media/usb"). On failure only the capacity changes, to
// FailureValue; free and available stay as the caller gave them.
void QueryDriveSpace(DriveAnswer& answer, const std::string& rootPath);

// The stored integer in digits grouped in threes by commas, "-" when negative:
// 1234567 -> "1,234,567", in every locale.
[[nodiscard]] std::string FormatByteCount(Currency count);

} // namespace GetDiskSpace
