// SPDX-License-Identifier: MIT
#pragma once

#include "app/ConversionRun.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace qif2ldx::app::gui {

// The texts of the dialog's own questions and of the box after a run: what the command line
// says on a terminal, worded for someone who sees only the dialog. No Qt.

// "Day first", "Month first", "Year first": the order's button in the dates' question.
[[nodiscard]] std::string DateOrderButton(qif::DateOrder order);

// The question for a file whose dates read two ways: both readings of the example line, and
// that the answer is kept for sAccount (trimmed); remembered: the order kept for it already.
[[nodiscard]] std::string DateQuestion(const qif::DateDecision& decision,
                                       const std::string& sAccount,
                                       std::optional<qif::DateOrder> remembered);

// The question for an account name the list does not hold, naming the closest names (none,
// one or several) as suggestions before "Convert anyway?".
[[nodiscard]] std::string AccountQuestion(const std::string& sAccount,
                                          const std::vector<std::string>& closest);

// True when a saved run has something the user should hear of before the hand-off: records
// left out, an empty statement, several accounts, amounts that are no number, a last record
// without "^" written anyway, text read as UTF-8 without a mark, investment records left out,
// dates that read two ways read in the order kept for the account, or what the history has to
// tell (HistoryLines).
[[nodiscard]] bool HasSomethingToTell(const ConversionOutcome& objOutcome);

// The box after a saved run: the receipt's summary line, its warnings as sentences (not the
// account look-up's: the user was asked about the account before), then its details (not the
// records of lists) with at most maxListed left-out records. Empty when the run has nothing
// to tell.
[[nodiscard]] std::string SavedRunMessage(const ConversionOutcome& objOutcome,
                                          const std::string& sStatement,
                                          const std::string& sAccount, const std::string& sList,
                                          std::size_t maxListed);

} // namespace qif2ldx::app::gui
