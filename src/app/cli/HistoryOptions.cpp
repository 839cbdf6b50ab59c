// SPDX-License-Identifier: MIT
#include "app/cli/HistoryOptions.h"

#include "app/RepeatWording.h"
#include "app/cli/Wording.h"

#include <CLI/CLI.hpp>
#include <ostream>

namespace qif2ldx::app::cli {

void AddHistoryOptions(CLI::App& objCommand, std::string& sRepeats, bool& bolNoHistory)
{
    objCommand
        .add_option("--repeats", sRepeats,
                    "Transactions that earlier statements of the account hold already: warn "
                    "(write them and warn), skip (leave them out) or keep (write them, quietly)")
        ->check(CLI::IsMember(
            std::vector<std::string>(std::begin(kRepeatValues), std::end(kRepeatValues))))
        ->capture_default_str();
    objCommand.add_flag("--no-history", bolNoHistory,
                        "Neither read nor record the history of statements made (nor the date "
                        "orders kept per account)");
}

RepeatPolicy RepeatsOption(const std::string& sRepeats)
{
    if (sRepeats == "skip") {
        return RepeatPolicy::Skip;
    }
    if (sRepeats == "keep") {
        return RepeatPolicy::Keep;
    }
    return RepeatPolicy::Warn;
}

void TellHistory(FileReceipt& receipt, const std::string& sQIFName, bool bolCountedFitIds,
                 const DateShower& objShowDate, const std::string& sWhose, std::ostream& err)
{
    const ConversionOutcome& outcome = receipt.outcome;
    std::vector<std::string> warnings = outcome.historyTroubles;
    std::vector<std::string> notes;
    if (outcome.repeats && outcome.result == RunResult::Saved) {
        HistoryTidings tidings =
            TellRepeats(*outcome.repeats, sQIFName, bolCountedFitIds, objShowDate);
        warnings.insert(warnings.end(), tidings.warnings.begin(), tidings.warnings.end());
        notes = std::move(tidings.notes);
    }
    for (const std::string& sWarning : warnings) {
        err << kProgram << ": warning: " << sWhose << sWarning << "\n";
        receipt.warnings.push_back(sWarning);
    }
    for (const std::string& sNote : notes) {
        err << kProgram << ": note: " << sWhose << sNote << "\n";
    }
}

} // namespace qif2ldx::app::cli
