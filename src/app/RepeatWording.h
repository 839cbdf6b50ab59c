// SPDX-License-Identifier: MIT
#pragma once

#include "app/HistoryReview.h"
#include "app/Receipt.h"

#include <cstddef>
#include <string>
#include <vector>

namespace qif2ldx::app {

// The repeats a message names one by one at most; the others are counted.
inline constexpr std::size_t kRepeatsNamed = 5;

// Why a repeat was left out: "already in /home/u/April.LDX (made 2026-05-02 from
// /home/u/April.qif)".
[[nodiscard]] std::string AlreadyIn(const history::StatementEntry& entry);

// The day a statement was made, as yyyymmdd.
[[nodiscard]] std::string MadeDay(const history::StatementEntry& entry);

// What a run's look into the history has to tell on a terminal, each without the program's
// prefix: warnings of repeats (unless they were kept) and of the same file again, with the
// hint that --repeats skip leaves them out and, where the statement counts its FITIDs from 0
// (bolCountedFitIds), that --profile portable writes FITIDs an importer can tell apart; notes
// of possible repeats and of the same file converted for other accounts.
struct HistoryTidings
{
    std::vector<std::string> warnings;
    std::vector<std::string> notes;
};

// bolWrites: false for a run that writes nothing (show): nothing is said to have been written.
[[nodiscard]] HistoryTidings TellRepeats(const RepeatReport& report, const std::string& sQIFName,
                                         bool bolCountedFitIds, const DateShower& objShowDate,
                                         bool bolWrites = true);

// Why a run that found nothing new wrote nothing: "nothing is new: all 40 transactions of
// May.qif are already in …; nothing was written".
[[nodiscard]] std::string NothingNewReason(const RepeatReport& report, const std::string& sQIFName);

} // namespace qif2ldx::app
