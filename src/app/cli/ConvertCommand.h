// SPDX-License-Identifier: MIT
#pragma once

#include "app/cli/Command.h"

#include <optional>
#include <string>
#include <vector>

namespace CLI {
class Option;
}

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
    bool bolJson = false;                   // the receipt as JSON on stdout
    bool bolDryRun = false;                 // everything but putting the statement in place
    std::string sDateOrder = "auto";        // a name of kDateOrderValues
    std::string sProfile = "lodestrand";    // a name of statement::kProfiles
    std::optional<std::string> sQifAccount; // --qif-account
    std::string sRepeats = "warn";          // a name of kRepeatValues
    bool bolNoHistory = false;              // neither read nor record the history
};

// `qif2ldx convert`: the input checks, each file's run with a progress bar, the receipts on
// stdout (stderr when the statement goes to stdout) and warnings on stderr, and the hand-off
// for --open. Its exit status is the highest of the files'. An account name given in several
// words without quotes is refused before any file is converted.
class ConvertCommand final : public Command
{
public:
    void AddOptions(CLI::App& objCommand) override;
    [[nodiscard]] int Run(const CommandLineContext& objContext) override;

private:
    // The QIF_FILE words that came straight after the account name: the rest of a name with
    // blanks when it was typed without quotes.
    [[nodiscard]] std::vector<std::string> WordsAfterAccount() const;

    ConvertOptions options_;
    const CLI::App* objCommand_ = nullptr;
    const CLI::Option* objAccount_ = nullptr;
    const CLI::Option* objFiles_ = nullptr;
    const CLI::Option* objQifAccount_ = nullptr;
    std::string sQifAccount_; // --qif-account, as given
};

} // namespace qif2ldx::app::cli
