// SPDX-License-Identifier: MIT
#pragma once

#include "app/cli/CommandLine.h"

#include <string>

namespace qif2ldx::app::cli {

// The options of `qif2ldx convert`, as given.
struct ConvertOptions
{
    std::string sQIFFile;
    std::string sAccount;
    std::string sOutput; // empty: beside the QIF file
    std::string sAccountList;
    bool bolOverwrite = false;
    bool bolOpen = false;
    std::string sDateOrder = "auto";     // auto, dmy, mdy or ymd
    std::string sProfile = "lodestrand"; // lodestrand or portable
};

// The --profile values.
inline constexpr const char* kProfiles[] = {"lodestrand", "portable"};

// The --date-order values.
inline constexpr const char* kDateOrders[] = {"auto", "dmy", "mdy", "ymd"};

// `qif2ldx convert`: the input checks, the run with a progress bar, its report on stdout and
// stderr, and the hand-off for --open. Returns the exit status.
int RunConvert(const ConvertOptions& objOptions, const CommandLineContext& objContext);

// The program's name in its messages.
inline constexpr const char* kProgram = "qif2ldx";

} // namespace qif2ldx::app::cli
