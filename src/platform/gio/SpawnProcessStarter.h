// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IProcessStarter.h"

namespace qif2ldx::platform {

// Starts programs detached with GLib's spawn (the child is reaped for us; no shell).
class SpawnProcessStarter final : public IProcessStarter
{
public:
    bool StartDetached(const std::string& sExecutable,
                       const std::vector<std::string>& arguments) override;
};

} // namespace qif2ldx::platform
