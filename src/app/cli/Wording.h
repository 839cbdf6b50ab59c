// SPDX-License-Identifier: MIT
#pragma once

#include "qif/DatePlan.h"

#include <iosfwd>
#include <string>

namespace qif2ldx::app::cli {

// How the command line words what more than one command tells.

// The program's name in its messages.
inline constexpr const char* kProgram = "qif2ldx";

// A statement file is at the path, and the command line was not told to replace it.
[[nodiscard]] std::string StatementExistsReason(const std::string& sStatement);

// The QIF path names neither a regular file nor a pipe (or names nothing).
[[nodiscard]] std::string QifNotAFileReason(const std::string& sQIF);

// Says on err which order the dates were read in, and which line decided it.
void NoteDateOrder(const qif::DateDecision& decision, std::ostream& err);

} // namespace qif2ldx::app::cli
