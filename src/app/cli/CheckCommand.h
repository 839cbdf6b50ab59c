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

// `qif2ldx check`: lists what other OFX readers misread in a statement file ("-" and pipes are
// read as convert reads them). Returns 0 when it finds nothing, 1 when it finds hazards, 2 when
// the file cannot be read or is no OFX file, 130 when interrupted while waiting for a pipe.
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
