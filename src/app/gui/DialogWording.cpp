// SPDX-License-Identifier: MIT
#include "app/gui/DialogWording.h"

#include "app/Receipt.h"
#include "app/gui/HistoryWording.h"
#include "platform/Text.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <filesystem>

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
                                        const std::string& sAccount, const std::string& sList,
                                        const DateShower& objShowDate)
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
    // The account's name is quoted as the dialog quotes names.
    const std::string sTypeWarning = AccountTypeWarning(objTold, sAccount);
    const std::string sStraight = "\"" + platform::EscapeControls(sAccount) + "\"";
    for (std::string& sWarning : RunWarnings(objTold, sAccount, sList, objShowDate)) {
        if (const std::size_t at = sWarning.find(sStraight);
            sWarning == sTypeWarning && at != std::string::npos) {
            sWarning.replace(at, sStraight.size(), Quoted(platform::EscapeControls(sAccount)));
        }
        warnings.push_back(Sentence(std::move(sWarning)));
    }
    return warnings;
}

// The receipt's details that matter to someone importing the statement, one a line: how the
// text was read, the records left out (at most maxListed; the repeats apart, by the statement
// they are in), and the amounts that are no number. Records of lists (accounts, categories)
// are no news: they hold no transactions.
std::string DetailLines(const ConversionOutcome& objOutcome, std::size_t maxListed)
{
    qif::ReadReport report = objOutcome.report;
    const std::vector<std::string> repeats = LeftOutRepeatLines(objOutcome);
    if (!repeats.empty()) {
        std::erase_if(report.leftOut, [](const qif::LeftOut& record) {
            return record.reason == qif::LeftOutReason::Repeat;
        });
    }
    std::string sLines;
    const auto add = [&sLines](const std::string& sLabel, const std::string& sList) {
        if (!sList.empty()) {
            sLines += (sLines.empty() ? "" : "\r\n") + sLabel + sList + ".";
        }
    };
    if (report.encoding == qif::TextEncoding::Utf8Unmarked) {
        add("Read as UTF-8: ", "the file has no byte-order mark, but all of its text is UTF-8");
    }
    if (report.encoding == qif::TextEncoding::Utf8Mixed) {
        add("Read as UTF-8: ", "the file has no byte-order mark, and all of its text is UTF-8 "
                               "but for a few bytes, read as Windows-1252");
    }
    if (report.recordEnds == qif::RecordEnds::BlankLines) {
        add("Records end at blank lines: ", "the file has no \"^\" line");
    }
    if (const std::string sAccount = QifAccountLine(report); !sAccount.empty()) {
        sLines += (sLines.empty() ? "" : "\r\n") + sAccount;
    }
    add("Left out: ", LeftOutList(report, maxListed));
    for (const std::string& sRepeats : repeats) {
        sLines += (sLines.empty() ? "" : "\r\n") + sRepeats;
    }
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
                         std::optional<qif::DateOrder> remembered, const DateShower& objShowDate)
{
    std::string sText = Readings(decision);
    if (const std::string sPeriods = PeriodsEachWay(decision, objShowDate); !sPeriods.empty()) {
        sText += std::string(kParagraph) + "The file's period, " + sPeriods + ".";
    }
    sText += std::string(kParagraph) +
             "Which order are they in? Your answer is remembered for the account " +
             Quoted(sAccount);
    if (remembered) {
        sText += "; last time it was " + std::string(qif::DateOrderName(*remembered));
    }
    sText += ".";
    return sText;
}

std::size_t PreselectedOrder(const std::vector<qif::DateOrder>& orders,
                             std::optional<qif::DateOrder> remembered, qif::DateOrder localeOrder,
                             qif::DateOrder decided)
{
    for (const std::optional<qif::DateOrder> order :
         {remembered, std::optional<qif::DateOrder>(localeOrder),
          std::optional<qif::DateOrder>(decided)}) {
        const auto at = std::find(orders.begin(), orders.end(), order);
        if (order && at != orders.end()) {
            return static_cast<std::size_t>(at - orders.begin());
        }
    }
    return 0;
}

AccountQuestion AskAboutAccount(const std::string& sAccount,
                                const std::vector<std::string>& closest,
                                const std::vector<std::string>& faults)
{
    AccountQuestion question;
    question.sText = Quoted(sAccount) +
                     " is not in the account list, so the statement would carry no account "
                     "number.";
    if (!closest.empty()) {
        question.sText += " Did you mean " + QuotedAlternatives(closest) + "?";
    }
    std::string sFaults;
    for (const std::string& sFault : faults) {
        sFaults += (sFaults.empty() ? "" : "\r\n") + Sentence(sFault);
    }
    if (!sFaults.empty()) {
        question.sText += kParagraph + sFaults;
    }
    if (closest.size() == 1) {
        question.sUse = closest.front();
        question.buttons = {"Use " + Quoted(closest.front()), "Convert anyway"};
        question.preselected = 0;
    } else {
        // Nothing to offer: Enter must not write a statement without account fields.
        question.buttons = {"Convert anyway"};
        question.preselected = question.buttons.size();
    }
    return question;
}

std::string SavedStatementNote(const ConversionOutcome& objOutcome, const std::string& sStatement,
                               const std::string& sAccount, const DateShower& objShowDate)
{
    const qif::ReadReport& report = objOutcome.report;
    std::string sSummary =
        std::to_string(report.written) + (report.written == 1 ? " transaction" : " transactions");
    if (!report.sStartDate.empty()) {
        sSummary += ", " + PeriodText(report.sStartDate, report.sEndDate, objShowDate);
    }
    const bool bolListed = objOutcome.account == AccountLookup::Found ||
                           objOutcome.account == AccountLookup::IncompleteLine;
    sSummary += ", account " + (bolListed ? objOutcome.cAcctInf.AcctName : sAccount);
    return "The statement was saved as " + sStatement + "\r\n" + sSummary + ".";
}

std::string QifPathRefusal(const std::string& sPath)
{
    constexpr const char* kAsk =
        "Please specify a valid QIF file in the 'QIF File to Convert' edit box.";
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(sPath, error);
    if (sPath.empty()) {
        return kAsk;
    }
    if (!std::filesystem::exists(status)) {
        return "There is no file " + Quoted(sPath) + ". " + kAsk;
    }
    if (std::filesystem::is_directory(status)) {
        return Quoted(sPath) + " is a folder, not a QIF file. " + kAsk;
    }
    return Quoted(sPath) + " is not a QIF file. " + kAsk;
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
    return bolLeftOut || !ReportWarnings(report).empty() || !report.amounts.NotNumbers().empty() ||
           report.encoding == qif::TextEncoding::Utf8Unmarked ||
           report.encoding == qif::TextEncoding::Utf8Mixed ||
           report.recordEnds == qif::RecordEnds::BlankLines || bolKeptOrder ||
           !AccountTypeWarning(objOutcome, objOutcome.cAcctInf.AcctName).empty() ||
           !HistoryLines(objOutcome).empty();
}

std::string SavedRunMessage(const ConversionOutcome& objOutcome, const std::string& sStatement,
                            const std::string& sAccount, const std::string& sList,
                            std::size_t maxListed, const DateShower& objShowDate)
{
    if (!HasSomethingToTell(objOutcome)) {
        return {};
    }
    std::string sText = SummaryLine(objOutcome, sStatement, sAccount, false, objShowDate);
    std::string sWarnings;
    for (const std::string& sWarning : DialogWarnings(objOutcome, sAccount, sList, objShowDate)) {
        sWarnings += (sWarnings.empty() ? "" : "\r\n") + sWarning;
    }
    std::string sHistory;
    for (const std::string& sLine : HistoryLines(objOutcome)) {
        sHistory += (sHistory.empty() ? "" : "\r\n") + sLine;
    }
    for (const std::string& sPart : {sWarnings, DetailLines(objOutcome, maxListed), sHistory}) {
        if (!sPart.empty()) {
            sText += kParagraph + sPart;
        }
    }
    return sText;
}

} // namespace qif2ldx::app::gui
