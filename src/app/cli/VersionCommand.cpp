// SPDX-License-Identifier: MIT
#include "app/cli/VersionCommand.h"

#include "app/cli/Wording.h"

#include <ostream>

namespace qif2ldx::app::cli {

std::string VersionLine()
{
    return std::string(kProgram) + " " + QIF2LDX_VERSION;
}

int VersionCommand::Run(const CommandLineContext& objContext)
{
    objContext.objOut << VersionLine() << "\n";
    return kExitDone;
}

} // namespace qif2ldx::app::cli
