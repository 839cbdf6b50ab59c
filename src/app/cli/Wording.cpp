// SPDX-License-Identifier: MIT
#include "app/cli/Wording.h"

#include "app/MainModule.h"
#include "platform/FileSystem.h"
#include "platform/Utf8.h"

#include <ostream>
#include <utility>

namespace qif2ldx::app::cli {

std::string StatementExistsReason(const std::string& sStatement)
{
    return "the statement file already exists (--overwrite replaces it): " +
           platform::EscapeControls(sStatement);
}

std::string QifNotAFileReason(const std::string& sQIF)
{
    const std::string sPath = Trim(sQIF);
    const char* sWhy = platform::IsDirectory(sPath) ? "the QIF file is a folder: "
                       : !platform::FileExists(sPath)
                           ? "the QIF file does not exist: "
                           : "the QIF file is neither a file nor a pipe: ";
    return sWhy + platform::EscapeControls(sQIF);
}

std::string QifTooLargeReason(const std::string& sQIF)
{
    return "the QIF file is larger than 1 GiB: " + platform::EscapeControls(sQIF);
}

ConversionRun::ChooseDateOrder ChooseUnasked(std::ostream& err, qif::DateOrder localeOrder,
                                             std::string sWhose)
{
    return [&err, localeOrder, sWhose = std::move(sWhose)](
               const qif::DateDecision& decision, std::optional<qif::DateOrder> remembered) {
        // A file that reads two ways gets a warning of its own with the receipt.
        const bool bolNote =
            !decision.bolAmbiguous && ((decision.source == qif::DateSource::File &&
                                        decision.order != qif::DateOrder::DayFirst) ||
                                       decision.source == qif::DateSource::Option);
        if (bolNote) {
            err << kProgram << ": note: " << sWhose << DescribeDateDecision(decision, Start::Inside)
                << "\n";
        }
        return std::optional<qif::DateChoice>(UnaskedDateChoice(decision, remembered, localeOrder));
    };
}

} // namespace qif2ldx::app::cli
