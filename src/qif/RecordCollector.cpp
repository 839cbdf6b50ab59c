// SPDX-License-Identifier: MIT
#include "qif/RecordCollector.h"

#include "platform/Text.h"
#include "platform/Windows1252.h"
#include "qif/QIFAmount.h"

#include <algorithm>
#include <array>

namespace qif2ldx::qif {
namespace {

// What the records of the section a "!" line names are.
RawRecord::Kind SectionKind(const std::string& name)
{
    static constexpr std::array<std::string_view, 10> kLists = {
        "!ACCOUNT",     "!TYPE:CAT",    "!TYPE:CLASS", "!TYPE:MEMORIZED", "!TYPE:SECURITY",
        "!TYPE:PRICES", "!TYPE:BUDGET", "!TYPE:TAG",   "!TYPE:PAYEE",     "!TYPE:TEMPLATE"};
    if (std::find(kLists.begin(), kLists.end(), name) != kLists.end()) {
        return RawRecord::Kind::List;
    }
    return name == "!TYPE:INVST" ? RawRecord::Kind::Investment : RawRecord::Kind::Transaction;
}

} // namespace

std::string SectionName(std::string_view line)
{
    return platform::ToUpperAscii(platform::TrimTrailingBlanks(line));
}

std::optional<DateOrder> OptionDateOrder(std::string_view sLine)
{
    const std::string name = SectionName(sLine);
    if (name == "!OPTION:DMY") {
        return DateOrder::DayFirst;
    }
    if (name == "!OPTION:MDY") {
        return DateOrder::MonthFirst;
    }
    if (name == "!OPTION:YMD") {
        return DateOrder::YearFirst;
    }
    return std::nullopt;
}

void RecordCollector::HandleLine(const QIFLine& line)
{
    const std::string_view text = line.text;
    const bool bolAfterBlank = afterBlank_;
    afterBlank_ = text.find_first_not_of(" \t") == std::string_view::npos;
    const bool bolBlankEnds = ends_ == RecordEnds::BlankLines;
    if (afterBlank_ && bolBlankEnds && opened_ && section_ == RawRecord::Kind::Transaction) {
        Emit(true);
    }
    if (afterBlank_) {
        return; // a line of nothing but blanks holds no field and opens no record
    }
    if (text.front() == '!') {
        HandleSection(text, line.number);
        return;
    }
    if (section_ != RawRecord::Kind::Transaction) {
        HandleListLine(line);
        return;
    }
    if (text.front() == '^') {
        if (opened_) {
            Emit(true);
        }
        return;
    }
    const bool bolRunOn = bolAfterBlank && BeginsRunOn(text);
    if (bolRunOn) {
        Emit(true);
    }
    Open(line.number);
    record_.bolRunOn = record_.bolRunOn || bolRunOn;
    Keep(line);
}

bool RecordCollector::BeginsRunOn(std::string_view line) const
{
    // Splits are S, E, $ and % lines: a date after a blank line is the next record's, in the
    // splits of this one too.
    return line.front() == 'D' && ends_ == RecordEnds::Caret && opened_ && record_.dates > 0 &&
           !record_.sAmount.empty() && HasDigit(DateText(line));
}

void RecordCollector::Keep(const QIFLine& line)
{
    const std::string_view text = line.text;
    const std::string_view field = text.substr(1);
    switch (text.front()) {
    case 'D': {
        if (inSplits_) {
            break; // the split's own date: the transaction keeps its date
        }
        date_.sText = DateText(text);
        // A "D" line without a digit is no date (a description, say); the record keeps its own.
        if (!HasDigit(date_.sText)) {
            record_.bolNoDateText = true;
            break;
        }
        date_.sLine = text;
        date_.line = line.number;
        date_.option = option_;
        date_.fixedDay = ReadNamedMonthDate(text);
        if (date_.fixedDay == 0) {
            date_.fixedDay = ReadYearFirstDate(date_.sText);
        }
        ++record_.dates;
        if (section_ == RawRecord::Kind::Transaction) {
            objSink_.Date(date_, record_);
        } else if (!record_.bolName) {
            pendingDates_.push_back(date_); // a record with a name is an account, no transaction
        }
        break;
    }
    case 'U':
    case 'T':
        // Quicken writes both, of the same amount; of different ones the last is kept.
        if (!record_.bolAmountsDiffer && !record_.sAmount.empty()) {
            std::string kept;
            std::string given;
            record_.bolAmountsDiffer =
                !SameAmount(platform::DecodeFileText(record_.sAmount, bolUtf8_, kept),
                            platform::DecodeFileText(field, bolUtf8_, given));
        }
        record_.sAmount = field;
        record_.sAmountLine = text;
        record_.amountLine = line.number;
        break;
    case 'P':
        record_.sPayee = field;
        break;
    case 'M':
        record_.sMemo = field;
        break;
    case 'N':
        record_.sNum = field;
        record_.bolName = true;
        if (section_ != RawRecord::Kind::Transaction) {
            pendingDates_.clear();
        }
        break;
    case 'L':
        record_.sCategory = field;
        break;
    case 'S':
        inSplits_ = true;
        break;
    default:
        break; // categories, cleared flags, addresses and the rest are not carried
    }
}

bool RecordCollector::IsAccountTransaction() const
{
    if (!inAccounts_ || record_.bolName || pendingDates_.empty() || record_.sAmount.empty()) {
        return false;
    }
    const DateLine& date = pendingDates_.back();
    DateReading reading(date.sText);
    const bool bolDate =
        date.fixedDay != 0 ||
        std::any_of(std::begin(kDateOrders), std::end(kDateOrders),
                    [&reading](DateOrder order) { return reading.In(order) != 0; });
    std::string storage;
    const std::string_view sAmount = platform::DecodeFileText(record_.sAmount, bolUtf8_, storage);
    return bolDate && (ReadAmount(sAmount, '.') || ReadAmount(sAmount, ','));
}

void RecordCollector::HandleSection(std::string_view line, std::int64_t lineNumber)
{
    if (const std::optional<DateOrder> order = OptionDateOrder(line)) {
        option_ = DateOption{*order, lineNumber, line};
        return;
    }
    const std::string name = SectionName(line);
    if (name.starts_with("!OPTION:") || name.starts_with("!CLEAR:")) {
        return; // options change no section
    }
    const RawRecord::Kind kind = SectionKind(name);
    const bool inTransactions = section_ == RawRecord::Kind::Transaction;
    // A list begins: the transaction before it has ended; a list record ends with its list. A
    // transaction section after another one goes on with the record open.
    if (opened_ && (!inTransactions || kind != RawRecord::Kind::Transaction)) {
        Emit(!inTransactions);
    }
    sSection_ = line;
    section_ = kind;
    inAccounts_ = name == "!ACCOUNT";
}

void RecordCollector::HandleListLine(const QIFLine& line)
{
    if (line.text.front() == '^') {
        if (inAccounts_ && !sAccountName_.empty()) {
            sAccount_ = sAccountName_;
            sAccountType_ = record_.sAmount; // an account record's "T" line is its type
            bolFirstPending_ = true;
        }
        sAccountName_ = {};
        if (opened_) {
            Emit(true);
        }
        return;
    }
    if (inAccounts_ && line.text.front() == 'N') {
        sAccountName_ = line.text.substr(1);
    }
    Open(line.number);
    if (inAccounts_) {
        Keep(line); // it may turn out to be a transaction
    }
}

void RecordCollector::Open(std::int64_t line)
{
    if (!opened_) {
        opened_ = true;
        record_.line = line;
        record_.sAccount = sAccount_;
        record_.sAccountType = sAccountType_;
    }
}

void RecordCollector::Finish()
{
    if (opened_) {
        Emit(section_ != RawRecord::Kind::Transaction || ends_ == RecordEnds::BlankLines);
    }
}

void RecordCollector::Emit(bool bolClosed)
{
    record_.kind = IsAccountTransaction() ? RawRecord::Kind::Transaction : section_;
    record_.sSection =
        record_.kind == RawRecord::Kind::Transaction ? std::string_view() : sSection_;
    record_.bolClosed = bolClosed;
    record_.sAccount = sAccount_;
    record_.sTypeLine = sSection_;
    record_.sAccountType = sAccountType_;
    record_.bolFirstOfAccount = false;
    if (record_.kind == RawRecord::Kind::Transaction && record_.IsComplete()) {
        record_.bolFirstOfAccount = bolFirstPending_;
        bolFirstPending_ = false;
    }
    if (record_.kind == RawRecord::Kind::Transaction) {
        for (const DateLine& date : pendingDates_) {
            objSink_.Date(date, record_);
        }
    }
    objSink_.Record(record_);
    pendingDates_.clear(); // keeps its room for the next record
    record_.dates = 0;
    record_.bolNoDateText = false;
    record_.bolRunOn = record_.bolAmountsDiffer = false;
    record_.bolName = false;
    record_.sAmount = record_.sAmountLine = record_.sPayee = record_.sMemo = record_.sNum = {};
    record_.sCategory = {};
    record_.amountLine = 0;
    opened_ = false;
    inSplits_ = false;
}

} // namespace qif2ldx::qif
