#pragma once

#include "drivespace/Currency.h"

#include <optional>

// One answer to a drive space question: the capacity (FailureValue when the drive
// could not be asked), the whole free space including any superuser's reserve,
// and the part this user may write. Free and available mean nothing after a failure.
struct DriveAnswer {
    Currency capacity = FailureValue;
    Currency free;
    // At most free; none where the system was asked for the two counts only.
    std::optional<Currency> available = std::nullopt;
};
