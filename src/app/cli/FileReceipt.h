// SPDX-License-Identifier: MIT
#pragma once

#include "app/ConversionRun.h"

#include <string>
#include <vector>

namespace qif2ldx::app::cli {

// How one QIF file of a `convert` call ended, for the human and the JSON receipt.
struct FileReceipt
{
    std::string sQIF;       // as given; "-" for standard input
    std::string sStatement; // the statement path; "-" for standard output
    std::string sAccount;   // the account name as given, without its outer spaces
    bool bolDryRun = false;
    int status = 0;      // the exit status this file alone would give
    bool bolRan = true;  // false: refused before any conversion
    std::string sReason; // why it did not succeed; empty when it did
    ConversionOutcome outcome;
    std::vector<std::string> warnings;
};

// The word for how the file ended: saved, checked (a dry run), failed, refused or interrupted.
[[nodiscard]] const char* StatusName(const FileReceipt& receipt);

// One JSON object for one file; for several, {"files": [...], "total": {...}}. Indented, with
// a final newline.
[[nodiscard]] std::string ReceiptsJson(const std::vector<FileReceipt>& receipts);

} // namespace qif2ldx::app::cli
