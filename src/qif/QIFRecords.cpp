// SPDX-License-Identifier: MIT
#include "qif/QIFRecords.h"

#include "platform/Windows1252.h"
#include "qif/QIFDate.h"
#include "qif/QIFError.h"

#include <algorithm>

namespace qif2ldx::qif {

const char* LeftOutText(LeftOutReason reason)
{
    switch (reason) {
    case LeftOutReason::NoDate:
        return "no date";
    case LeftOutReason::NoRealDate:
        return "no real date";
    case LeftOutReason::NoAmount:
        return "no amount";
    case LeftOutReason::NoClosingCaret:
        return "no closing ^";
    case LeftOutReason::NotATransaction:
        return "not a transaction";
    case LeftOutReason::AmountNotANumber:
        return "amount not a number";
    case LeftOutReason::Investment:
        return "investment transaction";
    case LeftOutReason::OpeningBalance:
        return "opening balance";
    case LeftOutReason::Repeat:
        return "already in an earlier statement";
    }
    return "";
}

std::string LeftOutText(const LeftOut& record)
{
    return record.sReason.empty() ? std::string(LeftOutText(record.reason)) : record.sReason;
}

void NoteText(const QIFText& text, LineEnds lineEnds, ReadReport& report)
{
    report.encoding = text.Encoding();
    report.lineEnds = lineEnds;
    report.windows1252Line = text.Windows1252Line();
    report.windows1252Lines = text.Windows1252Lines();
    report.recordEnds = text.Ends();
}

void QIFRecords::SetAmounts(const SeparatorDecision& decimal, bool bolPlain)
{
    objReport_.decimalSeparator = decimal;
    objReport_.bolPlainAmounts = bolPlain;
    objReport_.amounts = AmountTally(decimal.separator);
    plainSeparator_ = bolPlain ? std::optional<char>(decimal.separator) : std::nullopt;
}

void QIFRecords::SetAccounts(const QifAccountChoice& account,
                             const std::vector<QifAccount>& accounts)
{
    filter_ = account.filter;
    objReport_.qifAccounts = accounts;
    objReport_.sQifAccount = account.sTaken;
    objReport_.bolQifAccountChosen = !account.filter.TakesAll();
    objReport_.bolQifAccountAsked = account.bolAsked;
}

void QIFRecords::Date(const DateLine& date, const RawRecord& record)
{
    if (!filter_.Takes(record.sAccount)) {
        return;
    }
    const DateOrder order = objDates_.OrderOf(date);
    const std::uint32_t day =
        date.fixedDay != 0 ? date.fixedDay : DateReading(date.sText).In(order);
    if (day == 0) {
        throw QIFError(date.line, NotInOrder(Decode(date.sLine), order));
    }
    bolDatesDiffer_ = bolDatesDiffer_ || (lastDay_ != 0 && day != lastDay_);
    recordStart_ = recordStart_ == 0 ? day : std::min(recordStart_, day);
    recordEnd_ = std::max(recordEnd_, day);
    lastDay_ = day;
}

void QIFRecords::Record(const RawRecord& record)
{
    if (record.kind != RawRecord::Kind::Transaction) {
        LeaveOut(record, record.kind == RawRecord::Kind::List ? LeftOutReason::NotATransaction
                                                              : LeftOutReason::Investment);
        return;
    }
    if (!filter_.Takes(record.sAccount)) {
        ++objReport_.otherAccountRecords;
        return;
    }
    std::string sDate = lastDay_ != 0 ? DayText(lastDay_) : std::string();
    // An opening balance is no transaction of the period: its date does not stretch it.
    const bool bolOpening = IsOpeningBalance(record);
    if (recordStart_ != 0 && !bolOpening) {
        TrackPeriod(recordStart_);
        TrackPeriod(recordEnd_);
    }
    const bool bolDatesDiffer = bolDatesDiffer_;
    recordStart_ = recordEnd_ = lastDay_ = 0;
    bolDatesDiffer_ = false;
    if (record.bolRunOn) {
        objReport_.runOnRecords.push_back(record.line);
    }
    if (record.IsComplete() && (bolDatesDiffer || record.bolAmountsDiffer)) {
        objReport_.severalValues.push_back({record.line, bolDatesDiffer, record.bolAmountsDiffer});
    }
    if (bolOpening) {
        ++objReport_.records;
        LeaveOut(record, LeftOutReason::OpeningBalance);
        return;
    }
    if (record.IsComplete()) {
        const bool bolWritten = Write(record, std::move(sDate));
        if (!record.bolClosed) {
            objReport_.bolUnterminatedWritten = bolWritten;
        }
        return;
    }
    ++objReport_.records;
    if (!record.bolClosed) {
        objReport_.bolUnterminatedRecord = true;
        LeaveOut(record, LeftOutReason::NoClosingCaret);
        return;
    }
    ++objReport_.dropped;
    LeaveOut(record, record.dates > 0       ? LeftOutReason::NoAmount
                     : record.bolNoDateText ? LeftOutReason::NoRealDate
                                            : LeftOutReason::NoDate);
}

void QIFRecords::LeaveOut(const RawRecord& record, LeftOutReason reason)
{
    objReport_.leftOut.push_back({record.line, reason, std::string(record.sSection), {}});
}

bool QIFRecords::Write(const RawRecord& record, std::string sDate)
{
    records::CQIFTx cTxn;
    cTxn.sDate = std::move(sDate);
    cTxn.sAmount = Decode(record.sAmount);
    cTxn.sPayee = Decode(record.sPayee);
    cTxn.sMemo = Decode(record.sMemo);
    cTxn.sNum = Decode(record.sNum);
    ++objReport_.records;
    const std::optional<Decimal> plain =
        plainSeparator_ ? ReadFileAmount(cTxn.sAmount, *plainSeparator_) : std::nullopt;
    if (plainSeparator_ && !plain) {
        LeaveOut(record, LeftOutReason::AmountNotANumber);
        return false;
    }
    // The sums read the amount as written, in either profile.
    objReport_.amounts.Note(cTxn.sAmount, record.line, record.amountLine);
    if (plain) {
        cTxn.sAmount = FormatDecimal(*plain, 0, false);
    }
    if (objCharset_) {
        objCharset_->Note(cTxn, record.line);
    }
    NoteAccount(record.sAccount);
    NoteType(record.sTypeLine);
    ++objReport_.written;
    objSink_(cTxn, record.line, sAccountName_); // last: the sink may take the record's texts
    return true;
}

void QIFRecords::NoteType(std::string_view sTypeLine)
{
    // Sections are long runs of records: the name is looked at once per section.
    if (sTypeLine.data() != sLastType_.data() || sTypeLine.size() != sLastType_.size() ||
        lastTypeCount_ == nullptr) {
        sLastType_ = sTypeLine;
        const std::string sName = SectionName(sTypeLine);
        lastTypeCount_ = sName == "!TYPE:CCARD"  ? &objReport_.cardWritten
                         : sName == "!TYPE:BANK" ? &objReport_.bankWritten
                                                 : &uncounted_;
    }
    ++*lastTypeCount_;
}

void QIFRecords::NoteAccount(std::string_view sAccount)
{
    if (sAccount == sLastAccount_) {
        return;
    }
    sLastAccount_ = sAccount;
    sAccountName_ = Decode(sAccount);
    auto& accounts = objReport_.accounts;
    if (!sAccountName_.empty() &&
        std::find(accounts.begin(), accounts.end(), sAccountName_) == accounts.end()) {
        accounts.push_back(sAccountName_);
    }
}

void QIFRecords::TrackPeriod(std::uint32_t day)
{
    if (start_ == 0 || day < start_) {
        start_ = day;
        objReport_.sStartDate = DayText(day);
    }
    if (day > end_) {
        end_ = day;
        objReport_.sEndDate = DayText(day);
    }
}

std::string QIFRecords::Decode(std::string_view field) const
{
    return platform::DecodeFileText(field, bolUtf8_);
}

} // namespace qif2ldx::qif
