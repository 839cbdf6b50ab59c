// SPDX-License-Identifier: MIT
#pragma once

#include "app/cli/Command.h"

#include <string>

namespace qif2ldx::app::cli {

// The options of `qif2ldx check`, as given.
struct CheckOptions
{
    std::string sFile;
    bool bolJson = false; // one JSON object on stdout instead of lines
};

// Exit statuses of `qif2ldx check`.
inline constexpr int kCheckFoundNothing = 0;
inline constexpr int kCheckFoundHazards = 1;
inline constexpr int kCheckUnreadable = 2; // no OFX file, or not readable, or too little memory
inline constexpr int kCheckInterrupted = 130;

// `qif2ldx check`: lists what other OFX readers misread in a statement file ("-" and pipes are
// read as convert reads them), the first statement::kListedHazards in full and the rest counted
// by kind. Stops when the user interrupts, printing nothing on stdout. Returns one of the
// kCheck statuses.
int RunCheck(const CheckOptions& objOptions, const CommandLineContext& objContext);

// The command that runs RunCheck with its options.
class CheckCommand final : public Command
{
public:
    void AddOptions(CLI::App& objCommand) override;
    [[nodiscard]] int Run(const CommandLineContext& objContext) override
    {
        return RunCheck(options_, objContext);
    }

private:
    CheckOptions options_;
};

} // namespace qif2ldx::app::cli
