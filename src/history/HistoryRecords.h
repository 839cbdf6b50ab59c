// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

namespace qif2ldx::history {

// One statement made, as the history keeps it.
struct StatementEntry
{
    std::int64_t id = 0;     // the history's own number; 0 before it is recorded
    std::string sAccount;    // the Lodestrand account, as named (without outer spaces)
    std::string sStatement;  // the statement's absolute path, or "standard output"
    std::string sQIFFile;    // the QIF file's absolute path, or "standard input"
    std::string sDigest;     // of the QIF file's bytes (FileDigest)
    std::string sQIFAccount; // the QIF file's account it was made from; empty when none
    std::string sMade;       // local time, "2026-05-02T09:14:00"
    std::string sProfile;    // the statement profile's name
    std::uint32_t start = 0; // the period as yyyymmdd; both 0 for a statement without one
    std::uint32_t end = 0;
    std::int64_t transactions = 0;
};

// What makes two transactions the same one.
struct TransactionKey
{
    std::uint32_t day = 0; // yyyymmdd
    std::string sAmount;   // as a plain number ("-12.5"), or as written when it is none
    std::string sPayee;    // without blanks at either end
    std::string sNum;
    std::string sMemo;

    bool operator==(const TransactionKey&) const = default;
};

// A transaction of an earlier statement, among which repeats are sought.
struct EarlierTransaction
{
    std::int64_t statement = 0; // its StatementEntry's id
    TransactionKey key;
};

// A written transaction, as it is recorded.
struct RecordedTransaction
{
    TransactionKey key;
    std::string sFitId;
    // The earlier statement it repeated when it was written; 0 for none. A repeat is not
    // counted again when later files are checked.
    std::int64_t repeatOf = 0;
};

// A date order kept for an account: "dmy", "mdy" or "ymd".
struct DateOrderEntry
{
    std::string sAccount;
    std::string sOrder;
};

} // namespace qif2ldx::history
