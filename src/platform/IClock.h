// SPDX-License-Identifier: MIT
#pragma once

namespace qif2ldx::platform {

struct LocalDate
{
    int lngYear = 0;
    int lngMonth = 0; // 1 to 12
    int lngDay = 0;   // 1 to 31
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
