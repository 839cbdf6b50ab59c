// SPDX-License-Identifier: MIT
#include "platform/SystemClock.h"

#include <ctime>

namespace qif2ldx::platform {

LocalDate SystemClock::Today() const
{
    return Now().objDate;
}

LocalTime SystemClock::Now() const
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) {
        return {{1970, 1, 1}, 0, 0, 0};
    }
    return {{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday},
            local.tm_hour,
            local.tm_min,
            local.tm_sec};
}

} // namespace qif2ldx::platform
