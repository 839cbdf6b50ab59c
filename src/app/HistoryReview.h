// SPDX-License-Identifier: MIT
#pragma once

#include "app/KeptHistory.h"
#include "platform/IClock.h"
#include "qif/QIFRecords.h"
#include "qif/TransactionReview.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qif2ldx::app {

// How a run treats the transactions an earlier statement of the account holds already.
enum class RepeatPolicy
{
    Warn, // writes them, and tells
    Skip, // leaves them out; a file with nothing new fails
    Keep, // writes them and says nothing of them (the receipt's JSON still tells)
    Ask   // asks the questions given (the dialog)
};

// How the history names a statement written to standard output, and a QIF file read from a
// stream.
inline constexpr const char* kStandardOutput = "standard output";
inline constexpr const char* kStandardInput = "standard input";

// One transaction of the new file that repeats, or may repeat, an earlier one.
struct RepeatRecord
{
    std::int64_t line = 0;
    std::string sDate;   // yyyymmdd
    std::string sAmount; // as written
    std::string sPayee;
    std::string sStatement;  // the earlier statement, as the history names it
    std::string sEarlierDay; // a possible repeat's earlier date, yyyymmdd
};

// What a run found in the history, for the receipt.
struct RepeatReport
{
    RepeatPolicy policy = RepeatPolicy::Warn;
    bool bolChecked = false;       // the history was read for this run
    std::int64_t transactions = 0; // the transactions the file holds to write
    std::int64_t count = 0;        // those that repeat earlier ones (0 for the same file again)
    bool bolLeftOut = false;       // the repeats were left out
    // The earlier statements the repeats are in, oldest first.
    std::vector<history::StatementEntry> statements;
    std::vector<RepeatRecord> records;  // each repeat, in file order
    std::vector<RepeatRecord> possible; // each possible repeat, in file order
    // The latest statement made from the same bytes for this account (and QIF account).
    std::optional<history::StatementEntry> sameFile;
    // The statements made from the same bytes for other accounts, newest first.
    std::vector<history::StatementEntry> otherAccounts;
    bool bolRecorded = false; // the statement made was recorded
    // Nothing of the file is new: the same file again, or every transaction a repeat, under a
    // policy that leaves them out. Nothing is written.
    bool bolNothingNew = false;
};

// The dialog's questions about what the history holds; both are asked before anything is
// written.
struct RepeatQuestions
{
    // The same file again (RepeatReport::sameFile): true converts it again, whole.
    std::function<bool(const RepeatReport&)> objConvertAgain;
    // The repeats: true leaves them out, false keeps them, nullopt cancels the run.
    std::function<std::optional<bool>(const RepeatReport&)> objLeaveOut;
};

// The account of the QIF file a run took, as the history records it: the one chosen with
// --qif-account or in the dialog, else the file's only account with transactions; empty when
// it read all of several, or names none (ReadReport::sQifAccount).
[[nodiscard]] std::string QIFAccountTaken(const qif::ReadReport& report);

// "2026-05-02T09:14:00".
[[nodiscard]] std::string MadeText(const platform::LocalTime& objTime);

// What one run does with the history: before anything is written, finds the same file made
// before and the transactions that earlier statements of the account hold already, and settles
// by the policy (or the questions) which to leave out; once the statement is in its place,
// records it.
class HistoryReview
{
public:
    // The run, as the history names it.
    struct Subject
    {
        std::string sAccount;   // without outer spaces
        std::string sQIFPath;   // the file to read the bytes of
        std::string sQIFFile;   // as recorded: the absolute path, or "standard input"
        std::string sStatement; // as recorded: the absolute path, or "standard output"
        std::string sProfile;
    };

    HistoryReview(KeptHistory& objHistory, Subject subject, RepeatPolicy policy,
                  const RepeatQuestions* objQuestions);

    // The review of a file's transactions (see qif::ReviewCallback): the repeats to leave out,
    // none, or nullopt when the user cancelled. A history that cannot be read leaves nothing
    // out.
    [[nodiscard]] std::optional<std::vector<qif::Omission>>
    Review(const std::vector<qif::ReviewedTx>& transactions, const qif::ReadReport& report);
    // Records the statement the transactions (those written, with their FITIDs) went into; a
    // statement made again from the same bytes for the same account at the same path takes
    // the place of the old entry.
    void Record(const std::vector<qif::ReviewedTx>& transactions, const qif::ReadReport& report,
                const platform::LocalTime& objMade);

    [[nodiscard]] const RepeatReport& Report() const { return report_; }
    // The transactions the review left out, as left-out records in file order.
    [[nodiscard]] const std::vector<qif::LeftOut>& LeftOut() const { return leftOut_; }

private:
    // Fills the report from the matches; the repeats' omissions.
    std::vector<qif::Omission> Describe(const std::vector<qif::ReviewedTx>& transactions,
                                        const history::Earlier& earlier);
    // The omissions the policy (or the user) takes; nullopt when the user cancelled.
    [[nodiscard]] std::optional<std::vector<qif::Omission>>
    Decide(std::vector<qif::Omission> omissions);

    KeptHistory& objHistory_;
    Subject subject_;
    RepeatPolicy policy_;
    const RepeatQuestions* objQuestions_;
    RepeatReport report_;
    std::string sDigest_;
    std::string sQIFAccount_;
    std::vector<history::StatementEntry> sameBytes_; // every statement of the same bytes
    std::vector<std::int64_t> repeatOf_; // for each transaction, the statement it repeats, or 0
    std::vector<qif::LeftOut> leftOut_;
};

} // namespace qif2ldx::app
