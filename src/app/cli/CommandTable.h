// SPDX-License-Identifier: MIT
#pragma once

#include "app/cli/Command.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace qif2ldx::app::cli {

// A command's name, what it does in a line, and how it is made.
struct CommandEntry
{
    const char* sName;
    const char* sSummary;
    std::unique_ptr<Command> (*objMake)();
};

// Every command of the command line, in the order --help lists them. The parser, the start
// mode's test for a command and the help all read this table.
extern const std::array<CommandEntry, 7> kCommands;

// The commands' names, in the table's order.
[[nodiscard]] std::vector<std::string> CommandNames();

} // namespace qif2ldx::app::cli
