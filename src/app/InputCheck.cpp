// SPDX-License-Identifier: MIT
#include "app/InputCheck.h"

#include "app/MainModule.h"
#include "platform/FileSystem.h"
#include "qif/CQIFFile.h"

#include <filesystem>

namespace qif2ldx::app {

InputCheck CheckConversionInput(const std::string& sQIFText, const std::string& sLDXText,
                                const std::string& sAcctText, bool bolMayReplace)
{
    const std::string sQIF = Trim(sQIFText);
    const std::string sLDX = Trim(sLDXText);
    // Only a regular file: reading a device or a pipe could block or never end.
    if (!platform::IsRegularFile(sQIF)) {
        return InputCheck::QifNotAFile;
    }
    std::error_code error;
    if (std::filesystem::file_size(sQIF, error) > qif::kMaxQIFBytes && !error) {
        return InputCheck::QifTooLarge;
    }
    if (!IsStatementFileName(sLDX)) {
        return InputCheck::BadStatementName;
    }
    if (IsSameFileAsInput(sLDX, sQIF)) {
        return InputCheck::StatementIsQif;
    }
    if (!bolMayReplace && FileExists(sLDX)) {
        return InputCheck::StatementExists;
    }
    if (Trim(sAcctText).empty()) {
        return InputCheck::NoAccount;
    }
    return InputCheck::Passed;
}

} // namespace qif2ldx::app
