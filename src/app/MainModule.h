// SPDX-License-Identifier: MIT
#pragma once

#include "platform/FileSystem.h"
#include "platform/IProgramFolder.h"

#include <string>

namespace qif2ldx::app {

// True only for a path that exists and is not a folder.
using platform::FileExists;

// The program's own folder, always ending in exactly one "/".
[[nodiscard]] std::string AppPath(const platform::IProgramFolder& objProgramFolder);

// Text with its leading and trailing spaces removed (spaces only, not tabs).
[[nodiscard]] std::string Trim(const std::string& sText);

} // namespace qif2ldx::app
