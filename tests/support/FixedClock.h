// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IClock.h"

namespace qif2ldx::test {

// A clock that always tells the date it was given, at noon; for tests and reproducible runs.
class FixedClock final : public platform::IClock
{
public:
    explicit FixedClock(platform::LocalDate objDate) : objDate_(objDate) {}

    [[nodiscard]] platform::LocalDate Today() const override { return objDate_; }
    [[nodiscard]] platform::LocalTime Now() const override { return {objDate_, 12, 0, 0}; }

private:
    platform::LocalDate objDate_;
};

} // namespace qif2ldx::test
