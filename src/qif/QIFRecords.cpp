// SPDX-License-Identifier: MIT
#include "qif/QIFRecords.h"

#include "platform/Windows1252.h"
#include "qif/QIFDate.h"

namespace qif2ldx::qif {

QIFRecords::QIFRecords(bool bolUtf8, ReadReport& objReport, Sink objSink)
    : bolUtf8_(bolUtf8), objReport_(objReport), objSink_(std::move(objSink))
{}

void QIFRecords::HandleLine(std::string_view line)
{
    if (line.empty()) {
        return;
    }
    const std::string_view field = line.substr(1);
    switch (line.front()) {
    case 'D': {
        const std::string sDate = NormaliseQIFDate(line);
        // A day-first reading of a month-first or year-first file gives days that do not exist;
        // such a statement would only be rejected or imported wrongly.
        if (!IsCalendarDate(sDate)) {
            throw QIFError("\"" + Decode(line) + "\" is not a day-first date");
        }
        cTxn_.sDate = sDate;
        TrackPeriod(cTxn_.sDate);
        opened_ = true;
        break;
    }
    case 'U':
    case 'T':
        cTxn_.sAmount = Decode(field);
        opened_ = true;
        break;
    case 'P':
        cTxn_.sPayee = Decode(field);
        opened_ = true;
        break;
    case 'M':
        cTxn_.sMemo = Decode(field);
        opened_ = true;
        break;
    case 'N':
        cTxn_.sNum = Decode(field);
        opened_ = true;
        break;
    case '^':
        EndTransaction();
        break;
    case '!':
        // Only records under a "!Type:" header are transactions; the others (account lists,
        // options) are not counted as dropped when they lack a date or an amount.
        inTransactions_ = line.substr(0, 6) == "!Type:";
        break;
    default:
        break; // categories, cleared flags, addresses, splits and the rest are not carried
    }
}

void QIFRecords::Finish()
{
    objReport_.bolUnterminatedRecord = opened_;
}

void QIFRecords::EndTransaction()
{
    if (!cTxn_.sDate.empty() && !cTxn_.sAmount.empty()) {
        objSink_(cTxn_);
        ++objReport_.written;
    } else if (opened_ && inTransactions_) {
        ++objReport_.dropped;
    }
    cTxn_ = records::CQIFTx{};
    opened_ = false;
}

void QIFRecords::TrackPeriod(const std::string& sNew)
{
    // Both comparisons read every part of both dates, so a part that is not a number fails
    // even where the years already decide.
    if (objReport_.sStartDate.empty() || IsEarlierDate(sNew, objReport_.sStartDate)) {
        objReport_.sStartDate = sNew;
    }
    if (objReport_.sEndDate.empty() || IsEarlierDate(objReport_.sEndDate, sNew)) {
        objReport_.sEndDate = sNew;
    }
}

std::string QIFRecords::Decode(std::string_view field) const
{
    return platform::DecodeFileText(field, bolUtf8_);
}

} // namespace qif2ldx::qif
