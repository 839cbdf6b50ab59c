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
    case LeftOutReason::Repeat:
        return "already in an earlier statement";
    }
    return "";
}

std::string LeftOutText(const LeftOut& record)
{
    return record.sReason.empty() ? std::string(LeftOutText(record.reason)) : record.sReason;
}

void QIFRecords::Handle(const RawRecord& record)
{
    if (record.kind != RawRecord::Kind::Transaction) {
        LeaveOut(record, record.kind == RawRecord::Kind::List ? LeftOutReason::NotATransaction
                                                              : LeftOutReason::Investment);
        return;
    }
    std::string sDate = ReadDates(record);
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
    LeaveOut(record, !record.dates.empty()  ? LeftOutReason::NoAmount
                     : record.bolNoDateText ? LeftOutReason::NoRealDate
                                            : LeftOutReason::NoDate);
}

std::string QIFRecords::ReadDates(const RawRecord& record)
{
    std::string sDate;
    for (const DateLine& date : record.dates) {
        const DateOrder order = objDates_.OrderOf(date);
        const std::uint32_t day =
            date.namedDay != 0 ? date.namedDay : DateReading(date.sText).In(order);
        if (day == 0) {
            throw QIFError(date.line, NotInOrder(Decode(date.sLine), order));
        }
        TrackPeriod(day);
        sDate = DayText(day);
    }
    return sDate;
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
    if (plainSeparator_) {
        const std::optional<Decimal> amount = ReadAmount(cTxn.sAmount, *plainSeparator_);
        if (!amount) {
            LeaveOut(record, LeftOutReason::AmountNotANumber);
            return false;
        }
        cTxn.sAmount = FormatDecimal(*amount, 0, false);
    }
    ++objReport_.written;
    objReport_.amounts.Note(cTxn.sAmount, record.line);
    NoteAccount(record.sAccount);
    objSink_(cTxn, record.line); // last: the sink may take the record's texts
    return true;
}

void QIFRecords::NoteAccount(std::string_view sAccount)
{
    if (sAccount.empty() || sAccount == sLastAccount_) {
        return;
    }
    sLastAccount_ = sAccount;
    std::string sName = Decode(sAccount);
    auto& accounts = objReport_.accounts;
    if (std::find(accounts.begin(), accounts.end(), sName) == accounts.end()) {
        accounts.push_back(std::move(sName));
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
