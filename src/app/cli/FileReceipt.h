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
    bool bolReplaces = false;   // a statement file is at the path (a dry run says so)
    bool bolMayReplace = false; // --overwrite
    int status = 0;             // the exit status this file alone would give
    bool bolRan = true;         // false: refused before any conversion
    std::string sReason;        // why it did not succeed; empty when it did
    ConversionOutcome outcome;
    std::vector<std::string> warnings;
    std::vector<std::string> notes; // what is worth knowing but no warning (other OFX readers)
};

// The word for how the file ended: saved, checked (a dry run), failed, refused or interrupted.
[[nodiscard]] const char* StatusName(const FileReceipt& receipt);

// How the files of a call ended, counted apart, and the records of those done.
struct ReceiptCounts
{
    std::size_t done = 0; // saved, or checked by a dry run
    std::size_t refused = 0;
    std::size_t failed = 0;
    std::size_t interrupted = 0;
    std::int64_t records = 0; // of the files done
    std::int64_t written = 0;
};
[[nodiscard]] ReceiptCounts CountReceipts(const std::vector<FileReceipt>& receipts);

// One JSON object for one file; for several, {"files": [...], "total": {...}}. Indented, with
// a final newline.
[[nodiscard]] std::string ReceiptsJson(const std::vector<FileReceipt>& receipts);

} // namespace qif2ldx::app::cli
