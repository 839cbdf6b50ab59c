// SPDX-License-Identifier: MIT
#include "qif/QIFRecords.h"

#include "platform/Windows1252.h"
#include "qif/QIFDate.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace qif2ldx::qif {
namespace {

// The section a "!" line begins, in upper case without the blanks after it.
std::string SectionName(std::string_view line)
{
    std::string name;
    for (const char c : line) {
        name.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) {
        name.pop_back();
    }
    return name;
}

bool StartsWith(std::string_view text, std::string_view start)
{
    return text.substr(0, start.size()) == start;
}

// Sections whose records are no transactions.
bool IsListSection(const std::string& name)
{
    static constexpr std::array<std::string_view, 10> kLists = {
        "!ACCOUNT",     "!TYPE:CAT",    "!TYPE:CLASS", "!TYPE:MEMORIZED", "!TYPE:SECURITY",
        "!TYPE:PRICES", "!TYPE:BUDGET", "!TYPE:TAG",   "!TYPE:PAYEE",     "!TYPE:TEMPLATE"};
    return std::find(kLists.begin(), kLists.end(), name) != kLists.end();
}

} // namespace

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
    }
    return "";
}

QIFRecords::QIFRecords(bool bolUtf8, const DatePlan& objDates, ReadReport& objReport, Sink objSink)
    : bolUtf8_(bolUtf8), objDates_(objDates), objReport_(objReport), objSink_(std::move(objSink))
{}

void QIFRecords::HandleLine(const QIFLine& line)
{
    const std::string_view text = line.text;
    if (text.empty()) {
        return;
    }
    if (text.front() == '!') {
        HandleSection(text);
        return;
    }
    const std::string_view field = text.substr(1);
    if (!inTransactions_) {
        HandleNonTransaction(line);
        return;
    }
    if (text.front() != '^') {
        Open(line.number);
    }
    switch (text.front()) {
    case 'D': {
        const std::string sText = DateText(text);
        // A "D" line without a digit is no date (a description, say); the record keeps its own.
        if (HasDigit(sText)) {
            std::string sDate = objDates_.Read(sText, line.number, Decode(text), option_);
            if (!sDate.empty()) { // empty while the dates are only surveyed
                cTxn_.sDate = std::move(sDate);
                TrackPeriod(cTxn_.sDate);
            }
        } else {
            bolNoDateText_ = true;
        }
        break;
    }
    case 'U':
    case 'T':
        cTxn_.sAmount = Decode(field);
        break;
    case 'P':
        cTxn_.sPayee = Decode(field);
        break;
    case 'M':
        cTxn_.sMemo = Decode(field);
        break;
    case 'N':
        cTxn_.sNum = Decode(field);
        break;
    case '^':
        EndTransaction();
        break;
    default:
        break; // categories, cleared flags, addresses, splits and the rest are not carried
    }
}

void QIFRecords::HandleSection(std::string_view line)
{
    const std::string name = SectionName(line);
    if (const std::optional<DateOrder> order = OptionDateOrder(line)) {
        option_ = order;
        return;
    }
    if (StartsWith(name, "!OPTION:") || StartsWith(name, "!CLEAR:")) {
        return; // options change no section
    }
    const bool transactions = !IsListSection(name);
    if (inTransactions_ && !transactions) {
        EndUnterminated(); // a list begins: the transaction before it has ended
    } else if (!inTransactions_ && opened_) {
        LeaveOut(LeftOutReason::NotATransaction); // a list record the next section ends
        opened_ = false;
    }
    sSection_ = std::string(line);
    inTransactions_ = transactions;
    inAccounts_ = name == "!ACCOUNT";
}

void QIFRecords::HandleNonTransaction(const QIFLine& line)
{
    if (line.text.front() == '^') {
        if (inAccounts_ && !sAccountName_.empty()) {
            sAccount_ = sAccountName_;
        }
        sAccountName_.clear();
        if (opened_) {
            LeaveOut(LeftOutReason::NotATransaction);
        }
        opened_ = false;
        return;
    }
    if (inAccounts_ && line.text.front() == 'N') {
        sAccountName_ = Decode(line.text.substr(1));
    }
    Open(line.number);
}

void QIFRecords::Open(std::int64_t line)
{
    if (!opened_) {
        opened_ = true;
        recordLine_ = line;
        bolNoDateText_ = false;
    }
}

void QIFRecords::LeaveOut(LeftOutReason reason)
{
    objReport_.leftOut.push_back(
        {recordLine_, reason, reason == LeftOutReason::NotATransaction ? sSection_ : ""});
}

void QIFRecords::Finish()
{
    if (inTransactions_) {
        EndUnterminated();
    } else if (opened_) {
        LeaveOut(LeftOutReason::NotATransaction);
    }
}

void QIFRecords::EndTransaction()
{
    if (!cTxn_.sDate.empty() && !cTxn_.sAmount.empty()) {
        Write();
    } else if (opened_) {
        ++objReport_.dropped;
        ++objReport_.records;
        LeaveOut(cTxn_.sDate.empty()
                     ? (bolNoDateText_ ? LeftOutReason::NoRealDate : LeftOutReason::NoDate)
                     : LeftOutReason::NoAmount);
    }
    cTxn_ = records::CQIFTx{};
    opened_ = false;
}

void QIFRecords::EndUnterminated()
{
    if (!opened_) {
        return;
    }
    if (!cTxn_.sDate.empty() && !cTxn_.sAmount.empty()) {
        objReport_.bolUnterminatedWritten = Write();
    } else {
        objReport_.bolUnterminatedRecord = true;
        ++objReport_.records;
        LeaveOut(LeftOutReason::NoClosingCaret);
    }
    cTxn_ = records::CQIFTx{};
    opened_ = false;
}

bool QIFRecords::Write()
{
    if (plainSeparator_) {
        const std::optional<Decimal> amount = ReadAmount(cTxn_.sAmount, *plainSeparator_);
        if (!amount) {
            ++objReport_.records;
            LeaveOut(LeftOutReason::AmountNotANumber);
            return false;
        }
        cTxn_.sAmount = FormatDecimal(*amount, 0, false);
    }
    objSink_(cTxn_, recordLine_);
    ++objReport_.records;
    ++objReport_.written;
    objReport_.amounts.Note(cTxn_.sAmount, recordLine_);
    auto& accounts = objReport_.accounts;
    if (!sAccount_.empty() &&
        std::find(accounts.begin(), accounts.end(), sAccount_) == accounts.end()) {
        accounts.push_back(sAccount_);
    }
    return true;
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
