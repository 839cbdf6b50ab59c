// SPDX-License-Identifier: MIT
#include "platform/ProcessEnvironment.h"

#include <cstdlib>

namespace qif2ldx::platform {

std::optional<std::string> ProcessEnvironment::Variable(const std::string& sName) const
{
    const char* value = std::getenv(sName.c_str());
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
}

} // namespace qif2ldx::platform
