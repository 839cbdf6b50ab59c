// SPDX-License-Identifier: MIT
#pragma once

#include "app/ConversionRun.h"

#include <iosfwd>
#include <string>

namespace qif2ldx::app::cli {

// How the command line words what more than one command tells.

// The program's name in its messages.
inline constexpr const char* kProgram = "qif2ldx";

// A statement file is at the path, and the command line was not told to replace it.
[[nodiscard]] std::string StatementExistsReason(const std::string& sStatement);

// The QIF path names neither a regular file nor a pipe: why (nothing there, a folder, a device).
[[nodiscard]] std::string QifNotAFileReason(const std::string& sQIF);

// The QIF file is larger than the reader takes; refused before it is read.
[[nodiscard]] std::string QifTooLargeReason(const std::string& sQIF);

// How the command line settles the order of a file's dates, nobody being there to ask: the
// order kept for the account, the locale's order (localeOrder) for a file that reads two ways,
// or what the file says; an order other than day first that the file alone decided, or an
// "!Option:" line's, is noted on err with the line that decided it, after sWhose (the file's
// name and ": " when a call converts several).
[[nodiscard]] ConversionRun::ChooseDateOrder
ChooseUnasked(std::ostream& err, qif::DateOrder localeOrder, std::string sWhose = {});

} // namespace qif2ldx::app::cli
