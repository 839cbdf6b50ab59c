// SPDX-License-Identifier: MIT
#include "app/cli/AccountsCommand.h"

#include "app/AccountList.h"
#include "app/cli/Options.h"
#include "app/cli/Wording.h"
#include "platform/Utf8.h"

#include <CLI/CLI.hpp>
#include <ostream>

namespace qif2ldx::app::cli {

void AccountsCommand::AddOptions(CLI::App& objCommand)
{
    AddAccountListOption(objCommand, sAccountList_);
}

int AccountsCommand::Run(const CommandLineContext& objContext)
{
    const std::string sList =
        ResolveAccountList(sAccountList_, objContext.objProgramFolder, objContext.objEnvironment);
    const AccountNames objNames = ReadAccountNames(sList);
    for (const std::string& sName : objNames.names) {
        objContext.objOut << platform::EscapeControls(sName) << "\n";
    }
    if (!objNames.bolComplete) {
        objContext.objErr << kProgram << ": error: cannot read the account list "
                          << platform::EscapeControls(sList)
                          << (objNames.names.empty() ? "" : " past a line without a comma") << "\n";
        return kExitFailed;
    }
    objContext.objErr << kProgram << ": accounts from " << platform::EscapeControls(sList) << "\n";
    return kExitDone;
}

} // namespace qif2ldx::app::cli
