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
                 const DateShower& objShowDate, const std::string& sWhose, std::ostream& err,
                 bool bolWrites)
{
    const ConversionOutcome& outcome = receipt.outcome;
    for (const std::string& sWarning : outcome.historyTroubles) {
        err << kProgram << ": warning: " << sWhose << sWarning << "\n";
        receipt.warnings.push_back(sWarning);
    }
    if (!outcome.repeats || outcome.result != RunResult::Saved) {
        return;
    }
    // These name the file themselves.
    const HistoryTidings tidings =
        TellRepeats(*outcome.repeats, sQIFName, bolCountedFitIds, objShowDate, bolWrites);
    for (const std::string& sWarning : tidings.warnings) {
        err << kProgram << ": warning: " << sWarning << "\n";
        receipt.warnings.push_back(sWarning);
    }
    for (const std::string& sNote : tidings.notes) {
        err << kProgram << ": note: " << sNote << "\n";
    }
}

} // namespace qif2ldx::app::cli
