// SPDX-License-Identifier: MIT
#pragma once

#include "app/cli/Command.h"

#include <string>

namespace qif2ldx::app::cli {

// `qif2ldx help [COMMAND]`: the help of the program, or of the command named, on stdout, as
// --help prints it. An unknown command is a usage error (2).
class HelpCommand final : public Command
{
public:
    void AddOptions(CLI::App& objCommand) override;
    [[nodiscard]] int Run(const CommandLineContext& objContext) override;

private:
    const CLI::App* objRoot_ = nullptr;
    std::string sCommand_;
};

} // namespace qif2ldx::app::cli
