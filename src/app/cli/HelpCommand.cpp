// SPDX-License-Identifier: MIT
#include "app/cli/HelpCommand.h"

#include "app/Suggest.h"
#include "app/cli/Wording.h"
#include "platform/Utf8.h"

#include <CLI/CLI.hpp>
#include <ostream>

namespace qif2ldx::app::cli {

void HelpCommand::AddOptions(CLI::App& objCommand)
{
    objRoot_ = objCommand.get_parent();
    objCommand.add_option("COMMAND", sCommand_, "The command to tell about");
    objCommand.footer("Examples:\n"
                      "  qif2ldx help\n"
                      "  qif2ldx help convert");
}

int HelpCommand::Run(const CommandLineContext& objContext)
{
    if (sCommand_.empty()) {
        // The program's own help, not that of the command being run (this one).
        objContext.objOut << objRoot_->get_formatter()->make_help(objRoot_, kProgram,
                                                                  CLI::AppFormatMode::Normal);
        return kExitDone;
    }
    const std::vector<const CLI::App*> named = objRoot_->get_subcommands(
        [this](const CLI::App* objCommand) { return objCommand->get_name() == sCommand_; });
    if (named.empty()) {
        std::vector<std::string> names;
        for (const CLI::App* objCommand : objRoot_->get_subcommands({})) {
            names.push_back(objCommand->get_name());
        }
        objContext.objErr << kProgram << ": error: unknown command '"
                          << platform::EscapeControls(sCommand_) << "'";
        if (const auto sClosest = ClosestMatch(names, sCommand_)) {
            objContext.objErr << " (did you mean '" << *sClosest << "'?)";
        }
        objContext.objErr << "; see " << kProgram << " --help\n";
        return kExitRefused;
    }
    objContext.objOut << named.front()->help(kProgram);
    return kExitDone;
}

} // namespace qif2ldx::app::cli
