// SPDX-License-Identifier: MIT
#include "app/gui/DialogWording.h"

#include "app/Receipt.h"
#include "app/gui/HistoryWording.h"
#include "platform/Text.h"

#include <algorithm>

namespace qif2ldx::app::gui {
namespace {

// The dialog quotes names as a book would.
constexpr const char* kOpenQuote = "\xE2\x80\x9C";
constexpr const char* kCloseQuote = "\xE2\x80\x9D";
constexpr const char* kParagraph = "\r\n\r\n";

std::string Quoted(const std::string& sText)
{
    return kOpenQuote + sText + kCloseQuote;
}

// "A", "A or B", "A, B or C", each quoted.
std::string QuotedAlternatives(const std::vector<std::string>& names)
{
    std::string sText;
    for (std::size_t i = 0; i < names.size(); ++i) {
        sText += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + Quoted(names[i]);
    }
    return sText;
}

// A warning worded for a terminal, made a sentence of its own.
std::string Sentence(std::string sText)
{
    sText = platform::CapitalisedAscii(std::move(sText));
    if (!sText.empty() && sText.back() != '.') {
        sText += '.';
    }
    return sText;
}

// "The dates in this file read both day first and month first: line 3 reads D01/02/2026 as
// 1 February 2026 day first, or as 2 January 2026 month first."
std::string Readings(const qif::DateDecision& decision)
{
    const std::vector<qif::DateOrder> orders = ReadingOrders(decision);
    std::string sNames;
    std::string sDays;
    for (std::size_t i = 0; i < orders.size(); ++i) {
        const bool bolLast = i > 0 && i + 1 == orders.size();
        const std::string sName = qif::DateOrderName(orders[i]);
        const std::uint32_t day = decision.example.days.at(static_cast<std::size_t>(orders[i]));
        sNames += (i == 0 ? "" : bolLast ? " and " : ", ") + sName;
        sDays += (i == 0    ? ""
                  : bolLast ? ", or as "
                            : ", ") +
                 qif::DescribeDate(qif::DayText(day)) + " " + sName;
    }
    return std::string(orders.size() == 2 ? "The dates in this file read both "
                                          : "The dates in this file read ") +
           sNames + ": line " + std::to_string(decision.example.line) + " reads " +
           decision.example.sLine + " as " + sDays + ".";
}

// The receipt's warnings in the dialog's words. The account question came before the run, so
// the look-up's warning is not repeated; and the terminal's word on dates that read two ways
// points to --date-order, which the dialog does not have: it says which order was kept.
std::vector<std::string> DialogWarnings(const ConversionOutcome& objOutcome,
                                        const std::string& sAccount, const std::string& sList)
{
    std::vector<std::string> warnings;
    const qif::DateDecision& dates = objOutcome.report.dates;
    if (dates.bolAmbiguous && dates.source == qif::DateSource::Account) {
        warnings.push_back(Readings(dates) + " They were read " + qif::DateOrderName(dates.order) +
                           ", the order remembered for the account " + Quoted(sAccount) + ".");
    }
    ConversionOutcome objTold = objOutcome;
    if (objTold.account == AccountLookup::NotListed ||
        objTold.account == AccountLookup::ListUnreadable) {
        objTold.account = AccountLookup::Found;
    }
    objTold.report.dates.bolAmbiguous = false;
    for (std::string& sWarning : RunWarnings(objTold, sAccount, sList)) {
        warnings.push_back(Sentence(std::move(sWarning)));
    }
    return warnings;
}

// The receipt's details that matter to someone importing the statement, one a line: how the
// text was read, the records left out (at most maxListed), and the amounts that are no
// number. Records of lists (accounts, categories) are no news: they hold no transactions.
std::string DetailLines(const qif::ReadReport& report, std::size_t maxListed)
{
    std::string sLines;
    const auto add = [&sLines](const std::string& sLabel, const std::string& sList) {
        if (!sList.empty()) {
            sLines += (sLines.empty() ? "" : "\r\n") + sLabel + sList + ".";
        }
    };
    if (report.encoding == qif::TextEncoding::Utf8Unmarked) {
        add("Read as UTF-8: ", "the file has no byte-order mark, but all of its text is UTF-8");
    }
    add("Left out: ", LeftOutList(report, maxListed));
    add("Investment transactions: ", ListRecords(report, qif::LeftOutReason::Investment));
    add("Amounts that are not numbers: ", NotNumbersList(report));
    return sLines;
}

} // namespace

std::string DateOrderButton(qif::DateOrder order)
{
    return platform::CapitalisedAscii(qif::DateOrderName(order));
}

std::string DateQuestion(const qif::DateDecision& decision, const std::string& sAccount,
                         std::optional<qif::DateOrder> remembered)
{
    std::string sText = Readings(decision) + kParagraph +
                        "Which order are they in? Your answer is remembered for the account " +
                        Quoted(sAccount);
    if (remembered) {
        sText += "; last time it was " + std::string(qif::DateOrderName(*remembered));
    }
    sText += ".";
    return sText;
}

std::string AccountQuestion(const std::string& sAccount, const std::vector<std::string>& closest)
{
    std::string sText = Quoted(sAccount) +
                        " is not in the account list, so the statement will carry no account "
                        "number.";
    // The suggestion comes before the question, so that Yes cannot be taken for "yes, I meant
    // that one".
    if (!closest.empty()) {
        return sText + " Did you mean " + QuotedAlternatives(closest) + "?" + kParagraph +
               "Convert anyway?";
    }
    return sText + " Convert anyway?";
}

bool HasSomethingToTell(const ConversionOutcome& objOutcome)
{
    if (objOutcome.result != RunResult::Saved) {
        return false;
    }
    const qif::ReadReport& report = objOutcome.report;
    // Every record left out but those of lists (accounts, categories), which are no
    // transactions: investment records included.
    const bool bolLeftOut =
        std::any_of(report.leftOut.begin(), report.leftOut.end(), [](const qif::LeftOut& left) {
            return left.reason != qif::LeftOutReason::NotATransaction;
        });
    const bool bolKeptOrder =
        report.dates.bolAmbiguous && report.dates.source == qif::DateSource::Account;
    return bolLeftOut || report.written == 0 || report.accounts.size() > 1 ||
           !report.amounts.NotNumbers().empty() || report.bolUnterminatedWritten ||
           report.encoding == qif::TextEncoding::Utf8Unmarked || bolKeptOrder ||
           !HistoryLines(objOutcome).empty();
}

std::string SavedRunMessage(const ConversionOutcome& objOutcome, const std::string& sStatement,
                            const std::string& sAccount, const std::string& sList,
                            std::size_t maxListed)
{
    if (!HasSomethingToTell(objOutcome)) {
        return {};
    }
    std::string sText = SummaryLine(objOutcome, sStatement, sAccount, false, IsoDate);
    std::string sWarnings;
    for (const std::string& sWarning : DialogWarnings(objOutcome, sAccount, sList)) {
        sWarnings += (sWarnings.empty() ? "" : "\r\n") + sWarning;
    }
    std::string sHistory;
    for (const std::string& sLine : HistoryLines(objOutcome)) {
        sHistory += (sHistory.empty() ? "" : "\r\n") + sLine;
    }
    for (const std::string& sPart :
         {sWarnings, DetailLines(objOutcome.report, maxListed), sHistory}) {
        if (!sPart.empty()) {
            sText += kParagraph + sPart;
        }
    }
    return sText;
}

} // namespace qif2ldx::app::gui
