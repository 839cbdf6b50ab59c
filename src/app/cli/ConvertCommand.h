// SPDX-License-Identifier: MIT
#pragma once

#include "app/cli/CommandLine.h"
#include "qif/DatePlan.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace qif2ldx::app::cli {

// The options of `qif2ldx convert`, as given.
struct ConvertOptions
{
    std::vector<std::string> qifFiles; // "-" is standard input
    std::string sAccount;
    std::string sOutput;    // empty: beside the QIF file; "-": standard output
    std::string sOutputDir; // the folder for the statements, instead of beside each QIF file
    std::string sAccountList;
    bool bolOverwrite = false;
    bool bolOpen = false;
    bool bolJson = false;                // the receipt as JSON on stdout
    bool bolDryRun = false;              // everything but putting the statement in place
    std::string sDateOrder = "auto";     // auto, dmy, mdy or ymd
    std::string sProfile = "lodestrand"; // lodestrand or portable
};

// The --profile values.
inline constexpr const char* kProfiles[] = {"lodestrand", "portable"};

// The --date-order values.
inline constexpr const char* kDateOrders[] = {"auto", "dmy", "mdy", "ymd"};

// `qif2ldx convert`: the input checks, each file's run with a progress bar, the receipts on
// stdout (stderr when the statement goes to stdout) and warnings on stderr, and the hand-off
// for --open. Returns the highest exit status of the files.
int RunConvert(const ConvertOptions& objOptions, const CommandLineContext& objContext);

// The order --date-order names; nullopt for auto.
[[nodiscard]] std::optional<qif::DateOrder> DateOrderOption(const std::string& sOrder);

// Says on err which order the dates were read in, when it is not day first.
void NoteDateOrder(const qif::DateDecision& decision, std::ostream& err);

// The program's name in its messages.
inline constexpr const char* kProgram = "qif2ldx";

} // namespace qif2ldx::app::cli
