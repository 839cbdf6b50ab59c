// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace qif2ldx::platform {

// The folder that holds the running program, where its account list and help topics live.
class IProgramFolder
{
public:
    virtual ~IProgramFolder() = default;

    // The folder as the system reports it, without a trailing "/" unless it is the root "/";
    // empty when it cannot be found. Never throws.
    [[nodiscard]] virtual std::string Folder() const = 0;
};

} // namespace qif2ldx::platform
