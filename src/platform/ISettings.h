// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

namespace qif2ldx::platform {

// The per-user settings store: text values under a section and a name.
class ISettings
{
public:
    virtual ~ISettings() = default;

    // Stores the value, replacing an earlier one. Failures are ignored.
    virtual void WriteText(const std::string& sSection, const std::string& sName,
                           const std::string& sValue) = 0;

    // The value stored under the section and name; std::nullopt when there is none or the store
    // cannot be read. Never throws.
    [[nodiscard]] virtual std::optional<std::string> ReadText(const std::string& sSection,
                                                              const std::string& sName) const = 0;
};

} // namespace qif2ldx::platform
