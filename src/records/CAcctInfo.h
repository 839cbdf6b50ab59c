// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace qif2ldx::records {

// The target account of a statement, as one line of the account list describes it. Plain
// record: every field starts empty and holds exactly what was stored.
struct CAcctInfo
{
    std::string AcctName;
    std::string AcctType; // "CREDIT" makes a credit-card statement, anything else a bank one
    std::string CurDef;
    std::string AcctNum;
    std::string BranchNum;
    std::string BID;

    bool operator==(const CAcctInfo&) const = default;
};

} // namespace qif2ldx::records
