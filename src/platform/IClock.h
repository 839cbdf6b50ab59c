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

// Today's date as the user's clock and time zone see it.
class IClock
{
public:
    virtual ~IClock() = default;

    // The local date now. Never throws.
    [[nodiscard]] virtual LocalDate Today() const = 0;
};

} // namespace qif2ldx::platform
