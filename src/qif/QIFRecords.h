// SPDX-License-Identifier: MIT
#pragma once

#include "qif/DatePlan.h"
#include "qif/QIFAmount.h"
#include "qif/QIFText.h"
#include "qif/RecordCollector.h"
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
    NoDate,           // no "D" line with a date
    NoRealDate,       // "D" lines, but none that holds a date
    NoAmount,         // no "U" or "T" line
    NoClosingCaret,   // the file ended inside the record, which lacks a date or an amount
    NotATransaction,  // a record of a list: accounts, categories and the like
    AmountNotANumber, // an amount that is no number (where the statement needs one)
    Investment,       // a record of an investment account: no bank transaction
    Repeat            // left out as one an earlier statement holds already
};

// "no date", "no amount", "no closing ^" …
[[nodiscard]] const char* LeftOutText(LeftOutReason reason);

struct LeftOut
{
    std::int64_t line = 0; // the record's first line
    LeftOutReason reason = LeftOutReason::NoDate;
    std::string sSection; // for a list or investment record: the section, as its "!" line names it
    std::string sReason;  // the reason in words where the kind alone does not tell it (a repeat)
};

// The reason a record was left out, in words: its own (sReason) when it has one.
[[nodiscard]] std::string LeftOutText(const LeftOut& record);

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
    DateDecision dates;                                // the order the dates were read in, and why
    TextEncoding encoding = TextEncoding::Windows1252; // how the file's bytes were read
    LineEnds lineEnds = LineEnds::None;                // how its lines end
    std::vector<LeftOut> leftOut;                      // every record not written, in file order
    AmountTally amounts;                               // the written transactions' amounts
};

// Reads the records of a text in one pass, once the survey has planned it: each transaction
// record that holds a date and an amount goes to the sink, and every other record is left out
// with its reason. Dates are read in the plan's order, and the period follows every date read.
class QIFRecords
{
public:
    // Each transaction, with the line its record starts on; the record is the sink's to keep
    // (its texts may be moved from).
    using Sink = std::function<void(records::CQIFTx&, std::int64_t line)>;

    // bolUtf8: the fields are UTF-8; otherwise Windows-1252.
    QIFRecords(bool bolUtf8, const DatePlan& objDates, ReadReport& objReport, Sink objSink)
        : bolUtf8_(bolUtf8), objDates_(objDates), objReport_(objReport),
          objSink_(std::move(objSink))
    {}
    // The plan is kept by reference: a temporary one would be gone before the first record.
    QIFRecords(bool bolUtf8, const DatePlan&& objDates, ReadReport& objReport,
               Sink objSink) = delete;

    // Each amount is written as a plain decimal, read with the decimal separator given; a
    // record whose amount is no number that way is left out.
    void SetPlainAmounts(char decimalSeparator) { plainSeparator_ = decimalSeparator; }

    // Reads one record. Throws QIFError for a date that is no real day in its order.
    void Handle(const RawRecord& record);

private:
    void LeaveOut(const RawRecord& record, LeftOutReason reason);
    // Reads the record's dates, tracking the period; the last one read.
    std::string ReadDates(const RawRecord& record);
    // Hands the record on; false when it was left out instead.
    bool Write(const RawRecord& record, std::string sDate);
    void NoteAccount(std::string_view sAccount);
    void TrackPeriod(std::uint32_t day);
    [[nodiscard]] std::string Decode(std::string_view field) const;

    bool bolUtf8_;
    const DatePlan& objDates_;
    ReadReport& objReport_;
    Sink objSink_;
    std::optional<char> plainSeparator_;
    std::string_view sLastAccount_; // the account last noted, as written
    std::uint32_t start_ = 0;       // the period so far, as yyyymmdd; 0 before the first date
    std::uint32_t end_ = 0;
};

} // namespace qif2ldx::qif
