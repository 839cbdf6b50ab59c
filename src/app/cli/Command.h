// SPDX-License-Identifier: MIT
#pragma once

#include "app/cli/CommandLine.h"

namespace CLI {
class App;
}

namespace qif2ldx::app::cli {

// One command of the command line. It owns its options: it declares them on the subcommand the
// command table made for it, and runs with what the parser put into them.
class Command
{
public:
    virtual ~Command() = default;

    // Declares the command's arguments and options on its subcommand.
    virtual void AddOptions(CLI::App& objCommand) = 0;
    // Runs the command once the command line is parsed; returns its exit status.
    [[nodiscard]] virtual int Run(const CommandLineContext& objContext) = 0;
};

} // namespace qif2ldx::app::cli
