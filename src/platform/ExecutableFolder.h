// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IProgramFolder.h"

namespace qif2ldx::platform {

// The folder of the running executable, found through /proc/self/exe so that a program started
// through a symbolic link still finds its real folder.
class ExecutableFolder final : public IProgramFolder
{
public:
    [[nodiscard]] std::string Folder() const override;
};

} // namespace qif2ldx::platform
