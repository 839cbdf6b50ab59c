// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IFileAssociation.h"

#include <string>
#include <utility>

namespace qif2ldx::platform {

// The application the desktop opens files of one MIME type with, from the shared MIME database
// and the desktop entries (freedesktop.org), through GIO. Only a file of that type is
// associated, and only with an application that claims that very type: never one that would
// open it as its parent type (a text editor for text/plain, say). The desktop's default
// application is taken when it is such an application.
class GioFileAssociation final : public IFileAssociation
{
public:
    explicit GioFileAssociation(std::string sMimeType) : sMimeType_(std::move(sMimeType)) {}

    [[nodiscard]] std::string FindExecutable(const std::string& sFile) const override;

private:
    std::string sMimeType_;
};

} // namespace qif2ldx::platform
