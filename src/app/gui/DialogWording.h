// SPDX-License-Identifier: MIT
#pragma once

#include "app/ConversionRun.h"
#include "app/Receipt.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace qif2ldx::app::gui {

// The texts of the dialog's own questions and of the box after a run: what the command line
// says on a terminal, worded for someone who sees only the dialog. No Qt.

// "Day first", "Month first", "Year first": the order's button in the dates' question.
[[nodiscard]] std::string DateOrderButton(qif::DateOrder order);

// The question for a file whose dates read two ways: both readings of the example line, the
// period each way, and that the answer is kept for sAccount (trimmed); remembered: the order
// kept for it already.
[[nodiscard]] std::string DateQuestion(const qif::DateDecision& decision,
                                       const std::string& sAccount,
                                       std::optional<qif::DateOrder> remembered,
                                       const DateShower& objShowDate);

// The button preselected in the dates' question: the order kept for the account, else the
// order the locale writes dates in, else the order decided; an index into orders.
[[nodiscard]] std::size_t PreselectedOrder(const std::vector<qif::DateOrder>& orders,
                                           std::optional<qif::DateOrder> remembered,
                                           qif::DateOrder localeOrder, qif::DateOrder decided);

// The question for an account name the list does not hold, and its buttons, Cancel following
// them: with one closest name (letter case alone is close), "Use “Everyday Current”" (the
// default, sUse holding the name) and "Convert anyway"; otherwise "Convert anyway" alone, with
// Cancel the default (preselected is then buttons.size()). Several equally close names are
// suggested in the text. faults: the lines of the list that were skipped, told after it.
struct AccountQuestion
{
    std::string sText;
    std::vector<std::string> buttons;
    std::size_t preselected = 0;
    std::optional<std::string> sUse;
};
[[nodiscard]] AccountQuestion AskAboutAccount(const std::string& sAccount,
                                              const std::vector<std::string>& closest,
                                              const std::vector<std::string>& faults);

// What follows a hand-off message when the statement could not be handed to the accounting
// application: where it was saved, and its summary ("40 transactions, 1 – 31 May 2026, account
// Everyday Current").
[[nodiscard]] std::string SavedStatementNote(const ConversionOutcome& objOutcome,
                                             const std::string& sStatement,
                                             const std::string& sAccount,
                                             const DateShower& objShowDate);

// Refusals of a QIF path that names no regular file: "no such file", a folder, or anything
// else that is no QIF file; each followed by the request for a valid QIF file.
[[nodiscard]] std::string QifPathRefusal(const std::string& sPath);

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
                                          std::size_t maxListed,
                                          const DateShower& objShowDate = IsoDate);

} // namespace qif2ldx::app::gui
