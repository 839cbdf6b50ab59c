// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IClock.h"

namespace qif2ldx::platform {

// The machine's clock in the local time zone.
class SystemClock final : public IClock
{
public:
    [[nodiscard]] LocalDate Today() const override;
    [[nodiscard]] LocalTime Now() const override;
};

} // namespace qif2ldx::platform
