// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace qif2ldx::records {

// One transaction as read from a QIF file. Plain record: every field starts empty and holds
// exactly what was stored; the reader fills it, the statement writer reads it.
struct CQIFTx
{
    std::string sDate;    // yyyymmdd
    std::string sAmount;  // as written, sign and separators kept
    std::string sNum;     // cheque or reference number
    std::string sCleared; // carried, never set
    std::string sPayee;
    std::string sMemo;
    std::string sCategory; // carried, never set
};

} // namespace qif2ldx::records
