// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace qif2ldx::platform {

// Starts other programs.
class IProcessStarter
{
public:
    virtual ~IProcessStarter() = default;

    // Starts the executable with these arguments (each one argument, never through a shell),
    // detached: not waited for. False when it could not be started. Never throws.
    virtual bool StartDetached(const std::string& sExecutable,
                               const std::vector<std::string>& arguments) = 0;
};

} // namespace qif2ldx::platform
