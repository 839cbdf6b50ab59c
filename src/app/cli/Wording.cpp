// SPDX-License-Identifier: MIT
#include "app/cli/Wording.h"

#include "app/ConversionRun.h"

#include <ostream>

namespace qif2ldx::app::cli {

std::string StatementExistsReason(const std::string& sStatement)
{
    return "the statement file already exists (--overwrite replaces it): " + sStatement;
}

std::string QifNotAFileReason(const std::string& sQIF)
{
    return "the QIF file does not exist or is neither a file nor a pipe: " + sQIF;
}

void NoteDateOrder(const qif::DateDecision& decision, std::ostream& err)
{
    err << kProgram << ": note: " << DescribeDateDecision(decision, Start::Inside) << "\n";
}

} // namespace qif2ldx::app::cli
