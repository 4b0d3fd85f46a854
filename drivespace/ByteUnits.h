#pragma once

#include "drivespace/Currency.h"

#include <string>

// Readable companions of the exact figures, for tooltips and screen readers.
namespace ByteUnits {

// The count in binary units with one decimal: "999 bytes", "1.0 KiB",
// "117.3 GiB"; '.' as the decimal point in every locale.
[[nodiscard]] std::string BinaryUnits(Currency count);

// part as a share of whole with one decimal: "45.2 %"; empty when whole is not
// positive.
[[nodiscard]] std::string ShareOf(Currency part, Currency whole);

} // namespace ByteUnits
