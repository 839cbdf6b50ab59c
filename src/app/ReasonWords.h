// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Reason.h"

#include <string>

namespace qif2ldx::app {

// The system's reason in the program's words, to end a message after a colon: "no such file",
// "it is a folder", "permission denied", "the disk is full", "there is not enough memory"; for
// another reason, the system's own words. Empty for no reason.
[[nodiscard]] std::string ReasonWords(const platform::Reason& reason);

} // namespace qif2ldx::app
