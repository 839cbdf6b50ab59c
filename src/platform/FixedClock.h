// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IClock.h"

namespace qif2ldx::platform {

// A clock that always tells the date it was given; for tests and reproducible runs.
class FixedClock final : public IClock
{
public:
    explicit FixedClock(LocalDate objDate) : objDate_(objDate) {}

    [[nodiscard]] LocalDate Today() const override { return objDate_; }

private:
    LocalDate objDate_;
};

} // namespace qif2ldx::platform
