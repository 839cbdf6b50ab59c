// SPDX-License-Identifier: MIT
#pragma once

#include "qif/DatePlan.h"
#include "qif/QIFAmount.h"
#include "qif/QIFLines.h"
#include "records/CQIFTx.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qif2ldx::qif {

// Why a record was not written.
enum class LeftOutReason
{
    NoDate,          // no "D" line with a date
    NoRealDate,      // "D" lines, but none that holds a date
    NoAmount,        // no "U" or "T" line
    NoClosingCaret,  // the file ended inside the record, which lacks a date or an amount
    NotATransaction, // a record of a list: accounts, categories and the like
    AmountNotANumber // an amount that is no number (where the statement needs one)
};

// "no date", "no amount", "no closing ^" …
[[nodiscard]] const char* LeftOutText(LeftOutReason reason);

struct LeftOut
{
    std::int64_t line = 0; // the record's first line
    LeftOutReason reason = LeftOutReason::NoDate;
    std::string sSection; // for a list record: the section, as its "!" line names it
};

// What the reading of a QIF text found.
struct ReadReport
{
    std::int64_t records = 0;            // records of the transaction sections
    std::int64_t written = 0;            // transactions handed on
    std::int64_t dropped = 0;            // records closed by "^" without a date or an amount
    bool bolUnterminatedRecord = false;  // the text ended inside a record, which was not written
    bool bolUnterminatedWritten = false; // the last record had no "^" and was written anyway
    std::string sStartDate;              // yyyymmdd, empty when no date line was read
    std::string sEndDate;
    // The accounts ("!Account" blocks) the written transactions belong to, in file order;
    // empty when the file names none.
    std::vector<std::string> accounts;
    DateDecision dates;           // the order the dates were read in, and why
    std::vector<LeftOut> leftOut; // every record not written, in file order
    AmountTally amounts;          // the written transactions' amounts
};

// Collects the lines of one transaction at a time: date, amount, number, payee and memo, by
// each line's first character; every other line is skipped. A record closed by "^" that holds
// a date and an amount goes to the sink, and so does such a record still open when the text
// ends. Tracks the period over every date read. A line starting with "!" begins a section: the
// records of account lists, categories, classes, memorised transactions, securities, prices,
// budgets, tags, payees and templates are no transactions, and their lines are not read.
class QIFRecords
{
public:
    // Each transaction, with the line its record starts on.
    using Sink = std::function<void(const records::CQIFTx&, std::int64_t line)>;

    // bolUtf8: the fields are UTF-8; otherwise Windows-1252. Dates are read as the plan says.
    QIFRecords(bool bolUtf8, const DatePlan& objDates, ReadReport& objReport, Sink objSink);
    // The plan is kept by reference: a temporary one would be gone before the first line.
    QIFRecords(bool bolUtf8, const DatePlan&& objDates, ReadReport& objReport,
               Sink objSink) = delete;

    // Each amount is written as a plain decimal, read with the decimal separator given; a
    // record whose amount is no number that way is left out.
    void SetPlainAmounts(char decimalSeparator) { plainSeparator_ = decimalSeparator; }

    // Handles one line. Throws QIFError for a date that cannot be read.
    void HandleLine(const QIFLine& line);
    // The text has ended.
    void Finish();

private:
    void HandleSection(std::string_view line);
    void HandleNonTransaction(const QIFLine& line);
    void Open(std::int64_t line);
    void LeaveOut(LeftOutReason reason);
    void EndTransaction();
    void EndUnterminated();
    // Hands the record on; false when it was left out instead.
    bool Write();
    void TrackPeriod(const std::string& sNew);
    [[nodiscard]] std::string Decode(std::string_view field) const;

    bool bolUtf8_;
    const DatePlan& objDates_;
    ReadReport& objReport_;
    Sink objSink_;
    records::CQIFTx cTxn_;
    bool opened_ = false;         // the current record holds a field
    std::int64_t recordLine_ = 0; // where the current record starts
    bool bolNoDateText_ = false;  // the record has a "D" line that holds no date
    std::string sSection_;        // the "!" line of the current list section
    bool inTransactions_ = true;  // lines before any section are transactions
    bool inAccounts_ = false;     // in an "!Account" section
    std::optional<DateOrder> option_;
    std::optional<char> plainSeparator_;
    std::string sAccountName_; // the "N" line of the account record being read
    std::string sAccount_;     // the account the transactions that follow belong to
};

} // namespace qif2ldx::qif
