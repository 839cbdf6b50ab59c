// SPDX-License-Identifier: MIT
#include "app/cli/CommandTable.h"

#include "app/cli/AccountsCommand.h"
#include "app/cli/CheckCommand.h"
#include "app/cli/ConvertCommand.h"
#include "app/cli/HelpCommand.h"
#include "app/cli/HistoryCommand.h"
#include "app/cli/ShowCommand.h"
#include "app/cli/VersionCommand.h"

namespace qif2ldx::app::cli {
namespace {

template <typename T> std::unique_ptr<Command> Make()
{
    return std::make_unique<T>();
}

} // namespace

const std::array<CommandEntry, 7> kCommands = {{
    {"convert", "Convert QIF files into statement files, one each", &Make<ConvertCommand>},
    {"show", "Preview the transactions a QIF file holds, and the records left out",
     &Make<ShowCommand>},
    {"check", "List what other OFX readers would misread in a statement file", &Make<CheckCommand>},
    {"accounts", "List the account names the dialog offers", &Make<AccountsCommand>},
    {"history", "List the statements made, or forget some (history forget)", &Make<HistoryCommand>},
    {"help", "Show the help of the program or of a command", &Make<HelpCommand>},
    {"version", "Show the program's version", &Make<VersionCommand>},
}};

std::vector<std::string> CommandNames()
{
    std::vector<std::string> names;
    names.reserve(kCommands.size());
    for (const CommandEntry& entry : kCommands) {
        names.emplace_back(entry.sName);
    }
    return names;
}

} // namespace qif2ldx::app::cli
