// SPDX-License-Identifier: MIT
#pragma once

#include "app/HistoryReview.h"
#include "app/Receipt.h"
#include "app/cli/FileReceipt.h"

#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace qif2ldx::app::cli {

// The values of --repeats, in the order the help names them.
inline constexpr const char* kRepeatValues[] = {"warn", "skip", "keep"};

// --repeats warn|skip|keep into sRepeats (which holds the default, warn), and --no-history.
void AddHistoryOptions(CLI::App& objCommand, std::string& sRepeats, bool& bolNoHistory);

// The policy a --repeats value names; Warn for any other.
[[nodiscard]] RepeatPolicy RepeatsOption(const std::string& sRepeats);

// Tells on err, and keeps in the receipt's warnings, what the history had to say of a file:
// the troubles that kept it from being read or written, the repeats and the same file again;
// notes (possible repeats, the same file for other accounts) go to err alone. sWhose: the
// file's name and ": " before each trouble when a call converts several (the words of the
// repeats name the file themselves).
// bolWrites: false for a dry run, which is never said to have written anything.
void TellHistory(FileReceipt& receipt, const std::string& sQIFName, bool bolCountedFitIds,
                 const DateShower& objShowDate, const std::string& sWhose, std::ostream& err,
                 bool bolWrites = true);

} // namespace qif2ldx::app::cli
