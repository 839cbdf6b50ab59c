// SPDX-License-Identifier: MIT
#include "app/Receipt.h"

#include "app/Suggest.h"
#include "platform/Text.h"
#include "platform/Utf8.h"

#include <algorithm>

namespace qif2ldx::app {
namespace {

std::string Plural(std::int64_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// Records listed by their section rather than one by one.
bool IsListReason(qif::LeftOutReason reason)
{
    return reason == qif::LeftOutReason::NotATransaction ||
           reason == qif::LeftOutReason::Investment;
}

// "day first and month first", "day first, month first and year first".
std::string OrdersInWords(const std::vector<qif::DateOrder>& orders)
{
    std::string sWords;
    for (std::size_t i = 0; i < orders.size(); ++i) {
        sWords += (i == 0 ? "" : i + 1 == orders.size() ? " and " : ", ");
        sWords += qif::DateOrderName(orders[i]);
    }
    return sWords;
}

// What the account look-up found, when it is worth a warning; empty otherwise.
std::string AccountWarning(AccountLookup lookup, const std::string& sAccountName,
                           const std::string& sList)
{
    switch (lookup) {
    case AccountLookup::Found:
        break;
    case AccountLookup::ListUnreadable:
        return "cannot read the account list " + platform::EscapeControls(sList) +
               "; the statement has empty account fields";
    case AccountLookup::IncompleteLine:
        return "the line for account \"" + platform::EscapeControls(sAccountName) + "\" in " +
               platform::EscapeControls(sList) +
               " has fewer than six fields; the missing ones are empty";
    case AccountLookup::NotListed: {
        std::string sWarning = "account \"" + platform::EscapeControls(sAccountName) +
                               "\" is not in the account list " + platform::EscapeControls(sList) +
                               "; the statement has empty account fields";
        if (const auto sClosest = ClosestMatch(ReadAccountNames(sList).names, sAccountName)) {
            sWarning += " (did you mean '" + platform::EscapeControls(*sClosest) + "'?)";
        }
        return sWarning;
    }
    }
    return {};
}

// What a saved run's QIF file held that is worth a warning.
void AddReportWarnings(const qif::ReadReport& report, std::vector<std::string>& warnings)
{
    if (report.dropped > 0) {
        warnings.push_back(Plural(report.dropped, "record without a date or an amount was",
                                  "records without a date or an amount were") +
                           " not written");
    }
    const auto notNumbers =
        std::count_if(report.leftOut.begin(), report.leftOut.end(), [](const qif::LeftOut& left) {
            return left.reason == qif::LeftOutReason::AmountNotANumber;
        });
    if (notNumbers > 0) {
        warnings.push_back(Plural(notNumbers, "record whose amount is not a number was",
                                  "records whose amount is not a number were") +
                           " not written");
    }
    if (report.bolUnterminatedRecord) {
        warnings.push_back("the file ends inside a record that no \"^\" closes; it was not "
                           "written");
    }
    if (report.bolUnterminatedWritten) {
        warnings.push_back("the last record has no closing \"^\"; it was written all the same");
    }
    if (report.accounts.size() > 1) {
        std::string sNames;
        for (const std::string& sName : report.accounts) {
            sNames += (sNames.empty() ? "" : ", ") + platform::EscapeControls(sName);
        }
        warnings.push_back("the file holds transactions of " +
                           std::to_string(report.accounts.size()) + " accounts (" + sNames +
                           "); all are written to this one statement");
    }
    if (const auto investments = std::count_if(
            report.leftOut.begin(), report.leftOut.end(),
            [](const qif::LeftOut& left) { return left.reason == qif::LeftOutReason::Investment; });
        investments > 0) {
        warnings.push_back(
            Plural(investments, "investment transaction was", "investment transactions were") +
            " left out (purchases, sales, dividends and the like are no bank "
            "transactions)");
    }
    if (report.written == 0) {
        warnings.push_back("the file holds no transaction with a date and an amount; the "
                           "statement is empty");
    }
}

} // namespace

std::string IsoDate(std::string_view sDate)
{
    if (sDate.size() != 8 || !platform::IsAllDigits(sDate)) {
        return std::string(sDate);
    }
    return std::string(sDate.substr(0, 4)) + "-" + std::string(sDate.substr(4, 2)) + "-" +
           std::string(sDate.substr(6, 2));
}

std::vector<std::string> RunWarnings(const ConversionOutcome& objOutcome,
                                     const std::string& sAccountName, const std::string& sList)
{
    std::vector<std::string> warnings;
    if (std::string sWarning = AccountWarning(objOutcome.account, sAccountName, sList);
        !sWarning.empty()) {
        warnings.push_back(std::move(sWarning));
    }
    if (objOutcome.result != RunResult::Saved) {
        return warnings;
    }
    if (std::string sDates = DatesWarning(objOutcome.report.dates, sAccountName); !sDates.empty()) {
        warnings.push_back(std::move(sDates));
    }
    AddReportWarnings(objOutcome.report, warnings);
    return warnings;
}

std::string DatesWarning(const qif::DateDecision& dates, const std::string& sAccountName)
{
    if (!dates.bolAmbiguous ||
        (dates.source != qif::DateSource::File && dates.source != qif::DateSource::Account)) {
        return {};
    }
    const std::vector<qif::DateOrder> orders = ReadingOrders(dates);
    std::string sReadings;
    for (const qif::DateOrder order : orders) {
        const std::uint32_t day = dates.example.days.at(static_cast<std::size_t>(order));
        sReadings += (sReadings.empty() ? "" : ", ") + qif::DescribeDate(qif::DayText(day)) + " " +
                     qif::DateOrderName(order);
    }
    std::string sOtherwise;
    for (const qif::DateOrder order : orders) {
        if (order != dates.order) {
            sOtherwise += (sOtherwise.empty() ? "" : ", ") + std::string("--date-order ") +
                          DateOrderCode(order) + " reads them " + qif::DateOrderName(order);
        }
    }
    std::string sWarning = std::string(orders.size() == 2 ? "the dates in this file read both "
                                                          : "the dates in this file read ") +
                           OrdersInWords(orders) + ": line " + std::to_string(dates.example.line) +
                           " reads " + dates.example.sLine + " as " + sReadings +
                           "; they were read " + qif::DateOrderName(dates.order);
    if (dates.source == qif::DateSource::Account) {
        sWarning += ", the order chosen last for account \"" +
                    platform::EscapeControls(sAccountName) + "\"";
    }
    return sWarning + " (" + sOtherwise + ")";
}

std::string ShowSum(const qif::Decimal& sum, bool bolGrouped)
{
    return qif::FormatDecimal(sum, 2, bolGrouped);
}

std::string SummaryLine(const ConversionOutcome& objOutcome, const std::string& sStatement,
                        const std::string& sAccountName, bool bolDryRun,
                        const DateShower& objShowDate)
{
    const qif::ReadReport& report = objOutcome.report;
    std::string sLine = (bolDryRun ? "Would write " : "Wrote ") + std::to_string(report.written) +
                        " of " + Plural(report.records, "record", "records") + " to " +
                        platform::EscapeControls(sStatement) + ":";
    if (!report.sStartDate.empty()) {
        sLine += " " + objShowDate(report.sStartDate) + " to " + objShowDate(report.sEndDate) + ",";
    }
    sLine += " credits " + ShowSum(report.amounts.Credits(), true) + ", debits " +
             ShowSum(report.amounts.Debits(), true) + ", account ";
    const records::CAcctInfo& account = objOutcome.cAcctInf;
    if (objOutcome.account == AccountLookup::NotListed ||
        objOutcome.account == AccountLookup::ListUnreadable) {
        return sLine + platform::EscapeControls(sAccountName) + " (not in the account list).";
    }
    sLine += platform::EscapeControls(account.AcctName);
    if (!account.AcctType.empty()) {
        sLine += " (" + platform::EscapeControls(account.AcctType) + ")";
    }
    return sLine + ".";
}

std::string LeftOutList(const qif::ReadReport& report, std::size_t maxListed)
{
    std::string sList;
    std::size_t listed = 0;
    std::size_t more = 0;
    for (const qif::LeftOut& record : report.leftOut) {
        if (IsListReason(record.reason)) {
            continue;
        }
        if (listed == maxListed) {
            ++more;
            continue;
        }
        sList += (listed++ == 0 ? "line " : ", line ") + std::to_string(record.line) + " (" +
                 platform::EscapeControls(qif::LeftOutText(record)) + ")";
    }
    if (more > 0) {
        sList += ", and " + std::to_string(more) + " more";
    }
    return sList;
}

std::string ListRecords(const qif::ReadReport& report, qif::LeftOutReason reason)
{
    std::string sList;
    const auto& leftOut = report.leftOut;
    for (auto it = leftOut.begin(); it != leftOut.end();) {
        if (it->reason != reason) {
            ++it;
            continue;
        }
        auto end = std::find_if(it, leftOut.end(), [&it](const qif::LeftOut& record) {
            return record.reason != it->reason || record.sSection != it->sSection;
        });
        const auto count = end - it;
        sList += (sList.empty() ? "" : ", ") + std::to_string(count) + " of " + it->sSection +
                 (count == 1 ? " on line " : " from line ") + std::to_string(it->line);
        it = end;
    }
    return sList;
}

std::string NotNumbersList(const qif::ReadReport& report)
{
    std::string sList;
    for (const auto& amount : report.amounts.NotNumbers()) {
        sList += (sList.empty() ? "line " : ", line ") + std::to_string(amount.line) + " (" +
                 platform::Excerpt(amount.sText) + ")";
    }
    return sList;
}

std::string ReceiptDetailLines(const qif::ReadReport& report, std::size_t maxListed)
{
    std::string sLines;
    if (report.encoding == qif::TextEncoding::Utf8Unmarked) {
        sLines += "Read as UTF-8: the file has no byte-order mark, but all of its text is UTF-8.\n";
    }
    if (const std::string sLeftOut = LeftOutList(report, maxListed); !sLeftOut.empty()) {
        sLines += "Left out: " + sLeftOut + ".\n";
    }
    if (const std::string sLists = ListRecords(report, qif::LeftOutReason::NotATransaction);
        !sLists.empty()) {
        sLines += "Not transactions: " + sLists + ".\n";
    }
    if (const std::string sInvestments = ListRecords(report, qif::LeftOutReason::Investment);
        !sInvestments.empty()) {
        sLines += "Investment transactions: " + sInvestments + ".\n";
    }
    if (const std::string sAmounts = NotNumbersList(report); !sAmounts.empty()) {
        sLines += "Amounts that are not numbers: " + sAmounts + ".\n";
    }
    return sLines;
}

std::string LeftOutMessage(const qif::ReadReport& report, std::size_t maxListed)
{
    const std::string sList = LeftOutList(report, maxListed);
    if (sList.empty()) {
        return {};
    }
    return std::to_string(report.records - report.written) + " of the " +
           Plural(report.records, "record", "records") +
           " in the QIF file were left out of the statement:\r\n\r\n" + sList + ".";
}

} // namespace qif2ldx::app
