// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IClock.h"

namespace qif2ldx::test {

// A clock that always tells the date it was given; for tests and reproducible runs.
class FixedClock final : public platform::IClock
{
public:
    explicit FixedClock(platform::LocalDate objDate) : objDate_(objDate) {}

    [[nodiscard]] platform::LocalDate Today() const override { return objDate_; }

private:
    platform::LocalDate objDate_;
};

} // namespace qif2ldx::test
