// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IFileAssociation.h"

namespace qif2ldx::platform {

// The desktop's default application for a file's type, from the shared MIME database and the
// desktop entries (freedesktop.org), through GIO.
class GioFileAssociation final : public IFileAssociation
{
public:
    [[nodiscard]] std::string FindExecutable(const std::string& sFile) const override;
};

} // namespace qif2ldx::platform
