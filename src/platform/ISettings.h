// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace qif2ldx::platform {

// The per-user settings store: text values under a section and a name. Written, never read.
class ISettings
{
public:
    virtual ~ISettings() = default;

    // Stores the value, replacing an earlier one. Failures are ignored.
    virtual void WriteText(const std::string& sSection, const std::string& sName,
                           const std::string& sValue) = 0;
};

} // namespace qif2ldx::platform
