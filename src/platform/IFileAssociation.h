// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace qif2ldx::platform {

// Which program the desktop opens a file with.
class IFileAssociation
{
public:
    virtual ~IFileAssociation() = default;

    // Full path of the executable of the default application for the existing file's type;
    // empty when the file does not exist or nothing is associated with its type. Never throws.
    [[nodiscard]] virtual std::string FindExecutable(const std::string& sFile) const = 0;
    // Why no association could be looked up at all (the desktop's services could not be
    // loaded), in the system's words with what it could not load; empty when the last look-up
    // could be made. Never throws.
    [[nodiscard]] virtual std::string LookUpFailure() const { return {}; }
};

} // namespace qif2ldx::platform
