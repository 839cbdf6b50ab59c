// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace qif2ldx::app {

// Which of the checks before a conversion failed; each front end words it its own way.
enum class InputCheck
{
    Passed,
    QifNotAFile,      // the QIF path names no regular file
    QifTooLarge,      // the QIF file is larger than the reader takes
    BadStatementName, // the statement path does not end in ".LDX" or ".ldx"
    StatementIsQif,   // the statement path names the QIF file itself
    StatementExists,  // a statement file exists and may not be replaced
    NoAccount         // the account name is empty
};

// The checks, in this order, on the texts as the user gave them (each is trimmed of spaces):
// the QIF path must name a regular file of at most 1 GiB; the statement path must be longer than 4
// characters and end in exactly ".LDX" or ".ldx", and must not name the QIF file (by any spelling
// or link); an existing statement file passes only when bolMayReplace; the account name must not be
// empty. The first that fails is returned.
[[nodiscard]] InputCheck CheckConversionInput(const std::string& sQIFText,
                                              const std::string& sLDXText,
                                              const std::string& sAcctText, bool bolMayReplace);

} // namespace qif2ldx::app
