// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IEnvironment.h"

#include <map>

namespace qif2ldx::test {

// An environment that holds exactly the variables a test gives it.
struct FixedEnvironment final : platform::IEnvironment
{
    std::map<std::string, std::string> variables;

    [[nodiscard]] std::optional<std::string> Variable(const std::string& sName) const override
    {
        const auto found = variables.find(sName);
        return found == variables.end() ? std::nullopt : std::optional<std::string>(found->second);
    }
};

} // namespace qif2ldx::test
