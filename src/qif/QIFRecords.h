// SPDX-License-Identifier: MIT
#pragma once

#include "qif/CharsetNotes.h"
#include "qif/DatePlan.h"
#include "qif/QIFAmount.h"
#include "qif/QIFText.h"
#include "qif/QifAccounts.h"
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
    OpeningBalance,   // an account's opening balance, which is no transaction of a period
    Repeat            // left out as one an earlier statement holds already
};

// "no date", "no amount", "no closing ^" …
[[nodiscard]] const char* LeftOutText(LeftOutReason reason);

// A record that held several different dates or amounts, of which the last was kept.
struct SeveralValues
{
    std::int64_t line = 0; // the record's first line
    bool bolDates = false;
    bool bolAmounts = false;
};

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
    std::int64_t cardWritten = 0;        // transactions written from "!Type:CCard" sections
    std::int64_t bankWritten = 0;        // transactions written from "!Type:Bank" sections
    std::vector<QifAccount> qifAccounts; // every account the file names, with its transactions
    // The QIF account taken: the one chosen, else the file's only account with transactions;
    // empty when all of several, or none, were read.
    std::string sQifAccount;
    bool bolQifAccountChosen = false;     // only the records of sQifAccount were read
    bool bolQifAccountAsked = false;      // the person converting was asked which to read
    std::int64_t otherAccountRecords = 0; // transaction records of the others, not read
    DateDecision dates;                   // the order the dates were read in, and why
    TextEncoding encoding = TextEncoding::Windows1252; // how the file's bytes were read
    // For a file read as UTF-8 but for a few bytes: the first line holding bytes read as
    // Windows-1252, and how many lines hold such bytes; 0 otherwise.
    std::int64_t windows1252Line = 0;
    std::int64_t windows1252Lines = 0;
    LineEnds lineEnds = LineEnds::None;        // how its lines end
    RecordEnds recordEnds = RecordEnds::Caret; // how its records end
    std::vector<LeftOut> leftOut;              // every record not written, in file order
    SeparatorDecision decimalSeparator;        // how the amounts were read
    AmountTally amounts;                       // the written transactions' amounts
    bool bolPlainAmounts = false;              // the amounts were written as plain numbers
    // The "D" lines, after a blank line, that began a record the one before ran into.
    std::vector<std::int64_t> runOnRecords;
    std::vector<SeveralValues> severalValues; // complete records that kept the last of several
    CharsetReport charset; // what of their texts the statement's character set cannot carry
};

// Notes in the report what the text itself tells: how its bytes were read (and which lines hold
// bytes of another encoding), how its lines end (lineEnds, as its lines were split) and how its
// records end.
void NoteText(const QIFText& text, LineEnds lineEnds, ReadReport& report);

// Reads the records of a text in one pass, once the survey has planned it: each transaction
// record that holds a date and an amount goes to the sink, and every other record is left out
// with its reason. Dates are read in the plan's order, and the period follows every date read.
class QIFRecords final : public RecordSink
{
public:
    // Each transaction, with the line its record starts on and the QIF account it belongs to
    // (empty before any "!Account" block); the record is the sink's to keep (its texts may be
    // moved from).
    using Sink =
        std::function<void(records::CQIFTx&, std::int64_t line, const std::string& sAccount)>;

    // bolUtf8: the fields are UTF-8; otherwise Windows-1252.
    QIFRecords(bool bolUtf8, const DatePlan& objDates, ReadReport& objReport, Sink objSink)
        : bolUtf8_(bolUtf8), objDates_(objDates), objReport_(objReport),
          objSink_(std::move(objSink))
    {}
    // The plan is kept by reference: a temporary one would be gone before the first record.
    QIFRecords(bool bolUtf8, const DatePlan&& objDates, ReadReport& objReport,
               Sink objSink) = delete;

    // The file's decimal separator, which the sums read the amounts with; with bolPlain, each
    // amount is written as a plain decimal read with it, and a record whose amount is no
    // number that way is left out.
    void SetAmounts(const SeparatorDecision& decimal, bool bolPlain);
    // What of the texts the statement's character set cannot carry as they are is noted in the
    // report (see CharsetNotes).
    void SetCharset(std::string_view sCharset, bool bolRewrite)
    {
        objCharset_.emplace(sCharset, bolRewrite, objReport_.charset);
    }

    // Reads only the records of the account chosen; accounts: those of the file, for the
    // report.
    void SetAccounts(const QifAccountChoice& account, const std::vector<QifAccount>& accounts);

    // Reads one date of the record being read. Throws QIFError for a date that is no real day
    // in its order.
    void Date(const DateLine& date, const RawRecord& record) override;
    // Reads one record, once its dates have been read.
    void Record(const RawRecord& record) override;

private:
    void LeaveOut(const RawRecord& record, LeftOutReason reason);
    // Hands the record on; false when it was left out instead.
    bool Write(const RawRecord& record, std::string sDate);
    void NoteAccount(std::string_view sAccount);
    // Counts a written transaction of a card or bank section.
    void NoteType(std::string_view sTypeLine);
    void TrackPeriod(std::uint32_t day);
    [[nodiscard]] std::string Decode(std::string_view field) const;

    bool bolUtf8_;
    const DatePlan& objDates_;
    ReadReport& objReport_;
    Sink objSink_;
    std::optional<char> plainSeparator_;
    std::optional<CharsetNotes> objCharset_;
    QifAccountFilter filter_;
    std::string_view sLastAccount_; // the account last noted, as written, and its name
    std::string sAccountName_;
    std::string_view sLastType_; // the section line last noted, and what it counts
    std::int64_t* lastTypeCount_ = nullptr;
    std::int64_t uncounted_ = 0; // the other sections' transactions
    std::uint32_t start_ = 0;    // the period so far, as yyyymmdd; 0 before the first date
    std::uint32_t end_ = 0;
    // The dates of the record being read: its earliest, its latest and its last.
    std::uint32_t recordStart_ = 0;
    std::uint32_t recordEnd_ = 0;
    std::uint32_t lastDay_ = 0;
    bool bolDatesDiffer_ = false; // the record being read has different days
};

} // namespace qif2ldx::qif
