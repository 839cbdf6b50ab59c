// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace qif2ldx::platform {

struct LocalDate
{
    std::int32_t lngYear = 0;
    std::int32_t lngMonth = 0; // 1 to 12
    std::int32_t lngDay = 0;   // 1 to 31
};

// A moment as the user's clock shows it.
struct LocalTime
{
    LocalDate objDate;
    std::int32_t lngHour = 0; // 0 to 23
    std::int32_t lngMinute = 0;
    std::int32_t lngSecond = 0;
};

// Today's date, and the time now, as the user's clock and time zone see them.
class IClock
{
public:
    virtual ~IClock() = default;

    // The local date now. Never throws.
    [[nodiscard]] virtual LocalDate Today() const = 0;
    // The local time now. Never throws.
    [[nodiscard]] virtual LocalTime Now() const = 0;
};

} // namespace qif2ldx::platform
