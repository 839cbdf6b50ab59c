// SPDX-License-Identifier: MIT
#include "app/cli/CommandLine.h"

#include "app/cli/CommandTable.h"
#include "app/cli/Guidance.h"
#include "app/cli/VersionCommand.h"
#include "app/cli/Wording.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

namespace qif2ldx::app::cli {
namespace {

// The help ends with what a newcomer most likely came for.
constexpr const char* kFooter =
    "Exit status: 0 done, 1 failed after reading, 2 refused before anything was written, 130 "
    "interrupted; qif2ldx(1) tells which for each condition.\n\n"
    "Examples:\n"
    "  qif2ldx convert May.qif --account \"Everyday Current\"\n"
    "  qif2ldx convert ~/Downloads/*.qif -a Savings --output-dir ~/Statements\n"
    "  qif2ldx show May.qif";

int Dispatch(int argc, const char* const* argv, const CommandLineContext& objContext)
{
    CLI::App app{"Converts a QIF bank or credit-card file into an OFX statement file (.LDX) for "
                 "Lodestrand.\nWithout arguments, opens the \"Import Bank Statement\" dialog.",
                 kProgram};
    app.set_version_flag("--version", VersionLine());
    app.require_subcommand(1);
    // Each command from the table, declaring its own options.
    std::vector<std::pair<CLI::App*, std::unique_ptr<Command>>> commands;
    for (const CommandEntry& entry : kCommands) {
        std::unique_ptr<Command> command = entry.objMake();
        CLI::App* subcommand = app.add_subcommand(entry.sName, entry.sSummary);
        command->AddOptions(*subcommand);
        commands.emplace_back(subcommand, std::move(command));
    }
    // After the commands: CLI11 gives a command its parent's footer when it is added, and each
    // command's help shows examples of its own, or none.
    app.footer(kFooter);

    const auto refuse = [&objContext](const std::string& sWhy) {
        objContext.objErr << kProgram << ": error: " << sWhy << "\n";
        return kExitRefused;
    };
    if (std::string sWhy = FirstArgumentAdvice(argc, argv, app); !sWhy.empty()) {
        return refuse(sWhy);
    }
    if (std::string sWhy = UnknownOptionAdvice(argc, argv, app); !sWhy.empty()) {
        return refuse(sWhy);
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& success) {
        return app.exit(success, objContext.objOut, objContext.objErr) == 0 ? kExitDone
                                                                            : kExitRefused;
    } catch (const CLI::ParseError& error) {
        std::string sWhy = error.what();
        // "A subcommand is required" reads "a subcommand …" after the prefix; "QIF_FILE …" stays.
        if (sWhy.size() > 1 && sWhy[0] >= 'A' && sWhy[0] <= 'Z' &&
            (sWhy[1] == ' ' || (sWhy[1] >= 'a' && sWhy[1] <= 'z'))) {
            sWhy.front() = static_cast<char>(sWhy.front() - 'A' + 'a');
        }
        return refuse(sWhy + "; see " + HelpHint(argc, argv, app));
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
