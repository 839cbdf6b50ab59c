// SPDX-License-Identifier: MIT
#include "app/cli/CommandLine.h"

#include "app/Suggest.h"
#include "app/cli/CommandTable.h"
#include "app/cli/Wording.h"
#include "platform/FileSystem.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

namespace qif2ldx::app::cli {
namespace {

// The first argument names a command that does not exist: what to say, with the command
// meant when it looks like a slip. Empty otherwise.
std::string UnknownCommand(int argc, const char* const* argv)
{
    // A file alone is no command: it is what a file manager passes (see the parse below).
    if (argc < 2 || argv[1][0] == '-' || (argc == 2 && platform::FileExists(argv[1]))) {
        return {};
    }
    const std::string sTyped = argv[1];
    const std::vector<std::string> names = CommandNames();
    if (std::find(names.begin(), names.end(), sTyped) != names.end()) {
        return {};
    }
    std::string sWhy = "unknown command '" + sTyped + "'";
    if (const auto sClosest = ClosestMatch(names, sTyped)) {
        sWhy += " (did you mean '" + *sClosest + "'?)";
    }
    return sWhy + "; see " + kProgram + " --help";
}

int Dispatch(int argc, const char* const* argv, const CommandLineContext& objContext)
{
    CLI::App app{"Converts a QIF bank or credit-card file into an OFX statement file (.LDX) for "
                 "Lodestrand.\nWithout arguments, opens the \"Import Bank Statement\" dialog.",
                 kProgram};
    app.set_version_flag("--version", std::string(kProgram) + " " + QIF2LDX_VERSION);
    app.require_subcommand(1);
    // Each command from the table, declaring its own options.
    std::vector<std::pair<CLI::App*, std::unique_ptr<Command>>> commands;
    for (const CommandEntry& entry : kCommands) {
        std::unique_ptr<Command> command = entry.objMake();
        CLI::App* subcommand = app.add_subcommand(entry.sName, entry.sSummary);
        command->AddOptions(*subcommand);
        commands.emplace_back(subcommand, std::move(command));
    }

    if (const std::string sWhy = UnknownCommand(argc, argv); !sWhy.empty()) {
        objContext.objErr << kProgram << ": error: " << sWhy << "\n";
        return kExitRefused;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // A file alone is what a file manager passes; without a display it lands here.
        if (argc == 2 && platform::FileExists(argv[1])) {
            objContext.objErr << kProgram << ": error: no display to open the dialog on " << argv[1]
                              << "; to convert it here: " << kProgram << " convert " << argv[1]
                              << " --account NAME\n";
            return kExitRefused;
        }
        const int code = app.exit(error, objContext.objOut, objContext.objErr);
        return code == 0 ? kExitDone : kExitRefused;
    }
    for (const auto& [subcommand, command] : commands) {
        if (subcommand->parsed()) {
            return command->Run(objContext);
        }
    }
    return kExitRefused; // a command is required, so the parser never gets here
}

} // namespace

int RunCommandLine(int argc, const char* const* argv, const CommandLineContext& objContext)
{
    const int status = Dispatch(argc, argv, objContext);
    // A result that could not be written (a full disk, a closed pipe) is no success.
    objContext.objOut.flush();
    if (!objContext.objOut) {
        objContext.objErr << kProgram
                          << ": error: the results could not be written to standard "
                             "output\n";
        return status == kExitDone ? kExitFailed : status;
    }
    return status;
}

} // namespace qif2ldx::app::cli
