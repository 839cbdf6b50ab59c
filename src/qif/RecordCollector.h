// SPDX-License-Identifier: MIT
#pragma once

#include "qif/QIFDate.h"
#include "qif/QIFLines.h"
#include "qif/TextShape.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qif2ldx::qif {

// The "!Option:MDY", "!Option:DMY" or "!Option:YMD" line that governs the dates after it.
struct DateOption
{
    DateOrder order = DateOrder::DayFirst;
    std::int64_t line = 0;
    std::string_view sLine; // as written
};

// A "D" line that holds a date: its text as the date reader takes it, where it stands, and the
// "!Option:" line before it that names its order, if any.
struct DateLine
{
    std::string sText;      // DateText of the line
    std::string_view sLine; // the line as written
    std::int64_t line = 0;
    std::optional<DateOption> option;
    // The day a date that reads one way only names, whatever the file's order: a named month
    // (ReadNamedMonthDate) or a four-digit year first (ReadYearFirstDate); 0 for other dates.
    std::uint32_t fixedDay = 0;
};

// One record of a QIF text as written: where it is and what its lines hold, nothing read or
// decoded yet. The views point into the text.
struct RawRecord
{
    enum class Kind
    {
        Transaction, // a record of a transaction section, or of the lines before any section
        List,        // a record of an account list, categories and the like: no transaction
        Investment   // a record of an investment account: a purchase, a sale, a dividend …
    };
    Kind kind = Kind::Transaction;
    std::int64_t line = 0;        // its first line
    std::string_view sSection;    // the "!" line of a list record's section
    std::int64_t dates = 0;       // its "D" lines with a digit (each told as it was read)
    bool bolNoDateText = false;   // it has a "D" line without a digit (a description)
    bool bolName = false;         // it has an "N" line (in an account list: the account's name)
    std::string_view sAmount;     // the field of its last "U" or "T" line
    std::string_view sAmountLine; // that line as written
    std::int64_t amountLine = 0;  // and its number
    std::string_view sPayee;      // the fields of its last "P", "M" and "N" lines
    std::string_view sMemo;
    std::string_view sNum;
    bool bolClosed = true; // a "^" or a blank line ended it, not a list section or the text's end
    // It began at a "D" line after a blank line, in a record that held a date and an amount
    // and had no "^": that record ran into this one.
    bool bolRunOn = false;
    bool bolAmountsDiffer = false;  // it has "U" or "T" lines of different amounts
    std::string_view sAccount;      // the account ("!Account" record) its transactions belong to
    std::string_view sAccountType;  // that account's type, as its "T" line gives it ("Bank")
    std::string_view sCategory;     // the field of its "L" line
    bool bolFirstOfAccount = false; // the first complete transaction record of its account
    std::string_view sTypeLine;     // the "!" line of the section it is in; empty before any

    // A date and an amount: what a transaction needs to be written.
    [[nodiscard]] bool IsComplete() const { return dates > 0 && !sAmount.empty(); }
};

// Told what a collector finds: each date of a transaction record as it is read, so that no
// record has to hold all of its dates (a file of nothing but "D" lines is one record), then
// each record once it has ended. Both are valid only during the call.
class RecordSink
{
public:
    virtual ~RecordSink() = default;

    // A date of a transaction record; record: the record as far as it has been read.
    virtual void Date(const DateLine& date, const RawRecord& record) = 0;
    // A record that has ended, of any kind.
    virtual void Record(const RawRecord& record) = 0;
};

// Collects the lines of a QIF text into records, by each line's first character, and tells
// each record once it has ended. A line starting with "!" begins a section: the records of
// account lists, categories, classes, memorised transactions, securities, prices, budgets,
// tags, payees and templates are no transactions, and those of "!Type:Invst" are investment
// transactions, no bank ones. "!Option:" and "!Clear:" lines begin none; "!Option:MDY",
// "!Option:DMY" and "!Option:YMD" name the order of the dates after them. Lines other than D,
// U, T, P, M, N and "^" (categories, cleared flags …) are not kept; a "D" line after an "S" line
// dates the split, not the transaction. In an account list, a record without a name whose date
// and amount read as such is a transaction of the account named last (some programs leave out
// the "!Type:" line before it). A record ends at "^"; in a text whose records end at blank
// lines, at a blank line; and in any text, a "D" line after a blank line begins a new record
// when the record before it holds a date and an amount already (of its own, not its splits').
class RecordCollector
{
public:
    // Tells objSink what it finds; objSink must outlive the collector. bolUtf8: the text is
    // UTF-8 (QIFText::IsUtf8), else Windows-1252; amounts are read in the decoded text.
    RecordCollector(RecordSink& objSink, RecordEnds ends, bool bolUtf8)
        : objSink_(objSink), ends_(ends), bolUtf8_(bolUtf8)
    {}

    void HandleLine(const QIFLine& line);
    // The text has ended: a record still open ends too.
    void Finish();

private:
    void HandleSection(std::string_view line, std::int64_t lineNumber);
    void HandleListLine(const QIFLine& line);
    // Keeps a transaction line (D, U, T, P, M, N) of the current record.
    void Keep(const QIFLine& line);
    // A record of an account list that is a transaction after all.
    [[nodiscard]] bool IsAccountTransaction() const;
    // A "D" line after a blank line that begins a new record.
    [[nodiscard]] bool BeginsRunOn(std::string_view line) const;
    void Open(std::int64_t line);
    void Emit(bool bolClosed);

    RecordSink& objSink_;
    RecordEnds ends_;
    bool bolUtf8_;
    bool afterBlank_ = false; // the line before was blank
    RawRecord record_;
    DateLine date_; // the date line read last, its text's room kept for the next
    // The dates of an account-list record, told only once it turns out to be a transaction.
    std::vector<DateLine> pendingDates_;
    bool opened_ = false;   // the current record holds a line
    bool inSplits_ = false; // the current record's splits have begun
    RawRecord::Kind section_ = RawRecord::Kind::Transaction; // lines before any section too
    bool inAccounts_ = false;                                // in an "!Account" section
    std::string_view sSection_;                              // the "!" line of the current section
    std::optional<DateOption> option_;
    std::string_view sAccountName_; // the "N" line of the account record being read
    std::string_view sAccount_;     // the account the transactions that follow belong to
    std::string_view sAccountType_; // and its type
    bool bolFirstPending_ = true;   // no transaction record of that account has ended yet
};

// The section a "!" line begins, in upper case without the blanks after it.
[[nodiscard]] std::string SectionName(std::string_view line);

// The order an "!Option:" line names: "!Option:MDY", "!Option:DMY" or "!Option:YMD", in any
// letter case and with blanks after it; nullopt for any other line.
[[nodiscard]] std::optional<DateOrder> OptionDateOrder(std::string_view sLine);

} // namespace qif2ldx::qif
