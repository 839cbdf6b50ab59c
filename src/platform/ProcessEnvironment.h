// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IEnvironment.h"

namespace qif2ldx::platform {

// The environment the program was started with.
class ProcessEnvironment final : public IEnvironment
{
public:
    [[nodiscard]] std::optional<std::string> Variable(const std::string& sName) const override;
};

} // namespace qif2ldx::platform
