// SPDX-License-Identifier: MIT
#pragma once

#include "qif/RecordCollector.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qif2ldx::qif {

// One account of a QIF file (an "!Account" block): its name and type as the file gives them,
// and how many of the file's transactions are its own.
struct QifAccount
{
    std::string sName;
    std::string sType; // "Bank", "CCard", "Oth L" …; empty when the block names none
    std::int64_t transactions = 0;
};

// Asked, for a file holding transactions of several accounts, which to read: the name of one
// of them, "" for all, nullopt to stop (cancelled).
using ChooseQifAccount =
    std::function<std::optional<std::string>(const std::vector<QifAccount>& accounts)>;

// An account name (UTF-8) as names are compared: without the blanks at either end, its letter
// case folded.
[[nodiscard]] std::string QifAccountKey(std::string_view sName);

// Whether a transaction record is its account's opening balance, which no statement period
// covers: the first record of the account, whose payee is "Opening Balance" and whose category
// is the account's name in brackets ("L[Checking]"), or any name in brackets when the file
// names no account.
[[nodiscard]] bool IsOpeningBalance(const RawRecord& record);

// Counts the transactions (records with a date and an amount, opening balances aside) of each
// account a text's records belong to, in the order the accounts first appear.
class QifAccountCensus
{
public:
    // bolUtf8: the names are UTF-8 rather than Windows-1252.
    explicit QifAccountCensus(bool bolUtf8) : bolUtf8_(bolUtf8) {}

    void Note(const RawRecord& record);

    // Every account the file names, with its transactions (0 for some).
    [[nodiscard]] const std::vector<QifAccount>& Accounts() const { return accounts_; }
    // Transactions before any account block.
    [[nodiscard]] std::int64_t Unnamed() const { return unnamed_; }
    // The accounts holding transactions, those before any account block counting as one.
    [[nodiscard]] std::size_t Holding() const;

private:
    QifAccount& AccountOf(std::string_view sAccount, std::string_view sType);

    bool bolUtf8_;
    std::vector<QifAccount> accounts_;
    std::vector<std::string> keys_; // QifAccountKey of each account
    std::int64_t unnamed_ = 0;
    std::string_view sLast_; // the account noted last, as written, and where it is
    std::size_t lastIndex_ = 0;
};

// Which of a file's records are read: all, or those of one account (by QifAccountKey).
class QifAccountFilter
{
public:
    QifAccountFilter() = default;
    QifAccountFilter(std::string sKey, bool bolUtf8) : sKey_(std::move(sKey)), bolUtf8_(bolUtf8) {}

    [[nodiscard]] bool TakesAll() const { return !sKey_; }
    // Whether a record of the account given (as written) is read.
    [[nodiscard]] bool Takes(std::string_view sAccount) const;

private:
    std::optional<std::string> sKey_;
    bool bolUtf8_ = false;
    mutable std::string_view sLast_; // the account asked about last, and the answer
    mutable bool bolLast_ = false;
    mutable bool bolAsked_ = false;
};

// Which account of a file is read, and why.
struct QifAccountChoice
{
    enum class Outcome
    {
        Chosen,   // the filter says which
        Unknown,  // the name given is none of the file's accounts (sReason lists them)
        Cancelled // the person converting declined to choose
    };
    Outcome outcome = Outcome::Chosen;
    QifAccountFilter filter;
    // The account taken: the one chosen, else the file's only account with transactions;
    // empty when all of several, or none, are read.
    std::string sTaken;
    std::string sReason;
    bool bolAsked = false; // the chooser was asked
};

// Settles which account of a surveyed file is read: the one named (sGiven, from the command
// line) when there is one, else the one objChoose picks where the file holds transactions of
// several accounts, else all.
[[nodiscard]] QifAccountChoice ChooseAccount(const QifAccountCensus& census, bool bolUtf8,
                                             const std::optional<std::string>& sGiven,
                                             const ChooseQifAccount& objChoose);

} // namespace qif2ldx::qif
