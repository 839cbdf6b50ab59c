// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

namespace qif2ldx::platform {

// The variables of the process environment (HOME, XDG_CONFIG_HOME, DISPLAY and the like), so
// that tests can give the program a home and a desktop of their own.
class IEnvironment
{
public:
    virtual ~IEnvironment() = default;

    // The variable's value, which may be empty; std::nullopt when it is not set. Never throws.
    [[nodiscard]] virtual std::optional<std::string> Variable(const std::string& sName) const = 0;
};

} // namespace qif2ldx::platform
