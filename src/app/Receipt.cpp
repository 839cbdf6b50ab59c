// SPDX-License-Identifier: MIT
#include "app/Receipt.h"

#include "app/AccountList.h"
#include "app/CharsetWarnings.h"
#include "app/Suggest.h"
#include "platform/Terminal.h"
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
        // Read again for its reason: only when it failed, and the list is small.
        return CannotReadAccountList(sList, ReadAccountList(sList).reason) +
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

// "1234 with a decimal point", or "no number with a decimal comma".
std::string ReadWith(std::string_view sAmount, char separator)
{
    const std::optional<qif::Decimal> amount = qif::ReadAmount(sAmount, separator);
    return (amount ? qif::FormatDecimal(*amount, 0, false) : std::string("no number")) +
           (separator == ',' ? " with a decimal comma" : " with a decimal point");
}

} // namespace

std::string SeparatorWarning(const qif::ReadReport& report)
{
    const qif::SeparatorDecision& decimal = report.decimalSeparator;
    if (!decimal.bolAmbiguous || decimal.sLine.empty()) {
        return {};
    }
    const auto with = [](char separator) {
        return separator == ',' ? " with a decimal comma" : " with a decimal point";
    };
    if (decimal.mixed) {
        const auto& [comma, point] = *decimal.mixed;
        return "the file mixes decimal commas and decimal points: line " +
               std::to_string(comma.line) + " (" + comma.sLine +
               ") reads only with a decimal comma, line " + std::to_string(point.line) + " (" +
               point.sLine +
               ") only with a decimal point; each amount was read as its form decides, and one "
               "that reads both ways" +
               with(decimal.separator);
    }
    const std::string_view sAmount = std::string_view(decimal.sLine).substr(1);
    const char other = decimal.separator == ',' ? '.' : ',';
    return "the amounts in this file read both with a decimal point and with a decimal comma: "
           "line " +
           std::to_string(decimal.line) + " reads " + decimal.sLine + " as " +
           ReadWith(sAmount, decimal.separator) + ", " + ReadWith(sAmount, other) +
           "; they were read" + with(decimal.separator);
}

namespace {

// The amounts' forms that no OFX reader takes as a number, and what became of them.
void AddAmountFormWarnings(const qif::ReadReport& report, std::vector<std::string>& warnings)
{
    const auto& currency = report.amounts.CurrencySign();
    if (currency) {
        warnings.push_back(
            "the amounts carry a currency sign, which no OFX reader takes as a number (line " +
            std::to_string(currency->line) + ": " + currency->sText + "); " +
            (report.bolPlainAmounts ? "they were written as plain numbers"
                                    : "the statement keeps them as written (--profile portable "
                                      "writes plain numbers)"));
    }
    const auto& parentheses = report.amounts.Parentheses();
    if (parentheses) {
        warnings.push_back(
            "amounts in parentheses are negative amounts that no OFX reader takes as a number "
            "(line " +
            std::to_string(parentheses->line) + ": " + parentheses->sText + "); " +
            (report.bolPlainAmounts ? "they were written as negative numbers"
                                    : "the statement keeps them as written (--profile portable "
                                      "writes them as negative numbers)"));
    }
}

// "line 4", "lines 4 and 9", "lines 4, 9 and 20", of at most maxListed lines, then ", and 3
// more".
std::string LinesInWords(const std::vector<std::int64_t>& lines, std::size_t maxListed)
{
    std::string sWords = lines.size() == 1 ? "line " : "lines ";
    const std::size_t listed = std::min(lines.size(), maxListed);
    for (std::size_t i = 0; i < listed; ++i) {
        sWords += (i == 0 ? "" : i + 1 == lines.size() ? " and " : ", ") + std::to_string(lines[i]);
    }
    if (listed < lines.size()) {
        sWords += ", and " + std::to_string(lines.size() - listed) + " more";
    }
    return sWords;
}

// Records that ran into the next, and records that held several different dates or amounts.
void AddRecordWarnings(const qif::ReadReport& report, std::vector<std::string>& warnings)
{
    constexpr std::size_t kMaxListed = 20;
    const auto& runOn = report.runOnRecords;
    if (runOn.size() == 1) {
        warnings.push_back("a record runs into the next without its closing \"^\": " +
                           LinesInWords(runOn, kMaxListed) +
                           ", a \"D\" line after a blank line, began a new record");
    } else if (runOn.size() > 1) {
        warnings.push_back(std::to_string(runOn.size()) +
                           " records run into the next without their closing \"^\": " +
                           LinesInWords(runOn, kMaxListed) +
                           ", each a \"D\" line after a blank line, began new records");
    }
    const auto& several = report.severalValues;
    if (!several.empty()) {
        std::string sList;
        for (std::size_t i = 0; i < std::min(several.size(), kMaxListed); ++i) {
            const qif::SeveralValues& record = several[i];
            sList += (i == 0 ? "line " : ", line ") + std::to_string(record.line) + " (" +
                     (record.bolDates && record.bolAmounts ? "dates and amounts"
                      : record.bolDates                    ? "dates"
                                                           : "amounts") +
                     ")";
        }
        if (several.size() > kMaxListed) {
            sList += ", and " + std::to_string(several.size() - kMaxListed) + " more";
        }
        warnings.push_back(
            Plural(static_cast<std::int64_t>(several.size()), "record holds", "records hold") +
            " several different dates or amounts, of which the last was read: " + sList);
    }
}

} // namespace

std::string QifAccountLine(const qif::ReadReport& report)
{
    if (!report.bolQifAccountChosen) {
        return {};
    }
    const auto taken = std::find_if(
        report.qifAccounts.begin(), report.qifAccounts.end(),
        [&report](const qif::QifAccount& account) { return account.sName == report.sQifAccount; });
    std::string sLine = "QIF account: " + platform::EscapeControls(report.sQifAccount);
    if (taken != report.qifAccounts.end() && !taken->sType.empty()) {
        sLine += " (" + platform::EscapeControls(taken->sType) + ")";
    }
    sLine += " of the file's " + std::to_string(report.qifAccounts.size());
    if (report.otherAccountRecords > 0) {
        sLine += "; " +
                 Plural(report.otherAccountRecords, "record of the others was",
                        "records of the others were") +
                 " not read";
    }
    return sLine + ".";
}

std::string IsoDate(std::string_view sDate)
{
    if (sDate.size() != 8 || !platform::IsAllDigits(sDate)) {
        return std::string(sDate);
    }
    return std::string(sDate.substr(0, 4)) + "-" + std::string(sDate.substr(4, 2)) + "-" +
           std::string(sDate.substr(6, 2));
}

namespace {

// The accounts of a file whose transactions of several all went into the statement.
void AddAccountsWarning(const qif::ReadReport& report, std::vector<std::string>& warnings)
{
    if (report.accounts.size() <= 1) {
        return;
    }
    std::string sNames;
    for (const qif::QifAccount& account : report.qifAccounts) {
        if (account.transactions > 0) {
            sNames += (sNames.empty() ? "" : ", ") + platform::EscapeControls(account.sName) +
                      " (" + Plural(account.transactions, "transaction", "transactions") + ")";
        }
    }
    warnings.push_back(
        "the file holds transactions of " + std::to_string(report.accounts.size()) + " accounts (" +
        sNames + "); all are written to this one statement" +
        (report.bolQifAccountAsked ? ", as chosen" : " (--qif-account NAME takes only one)"));
}

void AddWindows1252Warning(const qif::ReadReport& report, std::vector<std::string>& warnings)
{
    if (report.windows1252Line > 0) {
        warnings.push_back("line " + std::to_string(report.windows1252Line) +
                           " holds bytes that are not UTF-8 in a file that otherwise is; they "
                           "were read as Windows-1252" +
                           (report.windows1252Lines > 1
                                ? " (so were those of " + Plural(report.windows1252Lines - 1,
                                                                 "more line)", "more lines)")
                                : std::string()));
    }
}

// The warnings on how the amounts and the records were read.
void AddAmountAndRecordWarnings(const qif::ReadReport& report, std::vector<std::string>& warnings)
{
    if (std::string sSeparator = SeparatorWarning(report); !sSeparator.empty()) {
        warnings.push_back(std::move(sSeparator));
    }
    AddAmountFormWarnings(report, warnings);
    AddRecordWarnings(report, warnings);
}

} // namespace

std::vector<std::string> ReadingWarnings(const qif::ReadReport& report)
{
    std::vector<std::string> warnings;
    AddAmountAndRecordWarnings(report, warnings);
    AddAccountsWarning(report, warnings);
    AddWindows1252Warning(report, warnings);
    return warnings;
}

std::vector<std::string> ReportWarnings(const qif::ReadReport& report)
{
    std::vector<std::string> warnings;
    AddAmountAndRecordWarnings(report, warnings);
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
    AddAccountsWarning(report, warnings);
    if (const auto investments = std::count_if(
            report.leftOut.begin(), report.leftOut.end(),
            [](const qif::LeftOut& left) { return left.reason == qif::LeftOutReason::Investment; });
        investments > 0) {
        warnings.push_back(
            Plural(investments, "investment transaction was", "investment transactions were") +
            " left out (purchases, sales, dividends and the like are no bank "
            "transactions)");
    }
    AddWindows1252Warning(report, warnings);
    if (report.written == 0) {
        warnings.push_back("the file holds no transaction with a date and an amount; the "
                           "statement is empty");
    }
    return warnings;
}

std::string AccountTypeWarning(const ConversionOutcome& objOutcome, const std::string& sAccountName)
{
    if ((objOutcome.account != AccountLookup::Found &&
         objOutcome.account != AccountLookup::IncompleteLine) ||
        objOutcome.cAcctInf.AcctName.empty()) {
        return {}; // an account the list does not describe has no type to compare
    }
    const qif::ReadReport& report = objOutcome.report;
    const std::string& sType = objOutcome.cAcctInf.AcctType;
    const std::string sAccount = "account \"" + platform::EscapeControls(sAccountName) + "\"";
    if (sType != "CREDIT" && report.cardWritten > 0) {
        return "the file holds card transactions (!Type:CCard), but " + sAccount + " is of type " +
               (sType.empty() ? std::string("(none)") : platform::EscapeControls(sType)) +
               ", not CREDIT: they were written as a bank statement";
    }
    if (sType == "CREDIT" && report.bankWritten > 0) {
        return "the file holds bank transactions (!Type:Bank), but " + sAccount +
               " is of type CREDIT: they were written as a credit-card statement";
    }
    return {};
}

DateShower LocaleDateShower(std::optional<std::string> sLocale)
{
    return [sLocale = std::move(sLocale)](std::string_view sDate) {
        std::string sIso = IsoDate(sDate);
        if (!sLocale || sIso.size() != 10 || sIso == sDate) {
            return sIso;
        }
        const int year = std::stoi(sIso.substr(0, 4));
        const int month = std::stoi(sIso.substr(5, 2));
        const int day = std::stoi(sIso.substr(8, 2));
        return platform::LocaleDate(*sLocale, year, month, day).value_or(sIso);
    };
}

std::string PeriodText(const std::string& sStart, const std::string& sEnd,
                       const DateShower& objShowDate)
{
    std::string sFirst = objShowDate(sStart);
    const std::string sLast = objShowDate(sEnd);
    if (sFirst == sLast) {
        return sFirst;
    }
    // What both end with from a blank on ("Dec 2026" of "1 Dec 2026" and "8 Dec 2026") is said
    // once, after the last day.
    std::size_t shared = 0;
    while (shared < sFirst.size() && shared < sLast.size() &&
           sFirst[sFirst.size() - 1 - shared] == sLast[sLast.size() - 1 - shared]) {
        ++shared;
    }
    const std::size_t blank = sFirst.find(' ', sFirst.size() - shared);
    if (blank != std::string::npos && blank > 0) {
        sFirst.erase(blank);
    }
    return sFirst + " \u2013 " + sLast;
}

std::string PeriodsEachWay(const qif::DateDecision& dates, const DateShower& objShowDate)
{
    std::string sText;
    for (const qif::DateOrder order : ReadingOrders(dates)) {
        if (const auto& period = dates.periods.at(static_cast<std::size_t>(order))) {
            sText += (sText.empty() ? "" : "; ") + std::string(qif::DateOrderName(order)) + ": " +
                     PeriodText(period->sStart, period->sEnd, objShowDate);
        }
    }
    return sText;
}

std::vector<std::string> RunWarnings(const ConversionOutcome& objOutcome,
                                     const std::string& sAccountName, const std::string& sList,
                                     const DateShower& objShowDate)
{
    std::vector<std::string> warnings;
    if (std::string sWarning = AccountWarning(objOutcome.account, sAccountName, sList);
        !sWarning.empty()) {
        warnings.push_back(std::move(sWarning));
    }
    for (const AccountLineFault& fault : ReadAccountList(sList).faults) {
        warnings.push_back(DescribeFault(sList, fault));
    }
    if (objOutcome.result != RunResult::Saved) {
        return warnings;
    }
    if (std::string sType = AccountTypeWarning(objOutcome, sAccountName); !sType.empty()) {
        warnings.push_back(std::move(sType));
    }
    if (std::string sDates = DatesWarning(objOutcome.report.dates, sAccountName, objShowDate);
        !sDates.empty()) {
        warnings.push_back(std::move(sDates));
    }
    for (std::string& sWarning : ReportWarnings(objOutcome.report)) {
        warnings.push_back(std::move(sWarning));
    }
    for (std::string& sWarning : CharsetWarnings(objOutcome.report.charset)) {
        warnings.push_back(std::move(sWarning));
    }
    return warnings;
}

std::string DatesWarning(const qif::DateDecision& dates, const std::string& sAccountName,
                         const DateShower& objShowDate)
{
    if (!dates.bolAmbiguous ||
        (dates.source != qif::DateSource::File && dates.source != qif::DateSource::Account &&
         dates.source != qif::DateSource::Locale)) {
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
                           OrdersInWords(orders);
    if (const std::string sPeriods = PeriodsEachWay(dates, objShowDate); !sPeriods.empty()) {
        sWarning += " (" + sPeriods + ")";
    }
    sWarning += ": line " + std::to_string(dates.example.line) + " reads " + dates.example.sLine +
                " as " + sReadings + "; they were read " + qif::DateOrderName(dates.order);
    if (dates.source == qif::DateSource::Account) {
        sWarning += ", the order chosen last for account \"" +
                    platform::EscapeControls(sAccountName) + "\"";
    } else if (dates.source == qif::DateSource::Locale) {
        sWarning += ", the order the locale writes dates in";
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
    if (report.encoding == qif::TextEncoding::Utf8Mixed) {
        sLines += "Read as UTF-8: the file has no byte-order mark, and all of its text is UTF-8 "
                  "but for bytes on " +
                  Plural(report.windows1252Lines, "line", "lines") + " (from line " +
                  std::to_string(report.windows1252Line) + "), read as Windows-1252.\n";
    }
    if (report.recordEnds == qif::RecordEnds::BlankLines) {
        sLines += "Records end at blank lines: the file has no \"^\" line.\n";
    }
    if (const std::string sAccount = QifAccountLine(report); !sAccount.empty()) {
        sLines += sAccount + "\n";
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
