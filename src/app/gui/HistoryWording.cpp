// SPDX-License-Identifier: MIT
#include "app/gui/HistoryWording.h"

#include "app/RepeatWording.h"
#include "app/Repeats.h"
#include "platform/Text.h"

#include <algorithm>

namespace qif2ldx::app::gui {
namespace {

constexpr const char* kOpenQuote = "\xE2\x80\x9C";
constexpr const char* kCloseQuote = "\xE2\x80\x9D";

std::string NameOf(const std::string& sPath)
{
    const std::size_t slash = sPath.rfind('/');
    return slash == std::string::npos ? sPath : sPath.substr(slash + 1);
}

// "3 May" for 20260503.
std::string DayAndMonth(const std::string& sDay)
{
    const std::string sText = qif::DescribeDate(sDay);
    const std::size_t space = sText.rfind(' ');
    return space == std::string::npos ? sText : sText.substr(0, space);
}

// "April.LDX, made on 2 May 2026 from April.qif"
std::string Made(const history::StatementEntry& entry)
{
    return NameOf(entry.sStatement) + ", made on " + qif::DescribeDate(MadeDay(entry)) + " from " +
           NameOf(entry.sQIFFile);
}

// "A, made …, and B, made …"
std::string Statements(const std::vector<history::StatementEntry>& entries)
{
    std::string sText;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        sText += (i == 0 ? "" : i + 1 == entries.size() ? ", and " : ", ") + Made(entries[i]);
    }
    return sText;
}

std::string Transaction(const RepeatRecord& record)
{
    return DayAndMonth(record.sDate) + " " + record.sPayee + " " + record.sAmount;
}

} // namespace

std::string SameFileQuestion(const RepeatReport& report, const std::string& sQIFPath)
{
    if (!report.sameFile) {
        return {};
    }
    return NameOf(sQIFPath) + " was converted on " + qif::DescribeDate(MadeDay(*report.sameFile)) +
           " to " + NameOf(report.sameFile->sStatement) + ".";
}

std::string RepeatQuestion(const RepeatReport& report, const std::string& sQIFPath)
{
    std::string sText = std::to_string(report.count) + " of the " +
                        std::to_string(report.transactions) + " transactions in " +
                        NameOf(sQIFPath) + (report.count == 1 ? " was" : " were") + " already in " +
                        Statements(report.statements) + ": ";
    for (std::size_t i = 0; i < report.records.size() && i < kRepeatsNamed; ++i) {
        sText += (i == 0 ? "" : ", ") + Transaction(report.records[i]);
    }
    if (report.records.size() > kRepeatsNamed) {
        sText += " and " + std::to_string(report.records.size() - kRepeatsNamed) + " more";
    }
    return sText + ".";
}

std::string NothingNewMessage(const RepeatReport& report, const std::string& sQIFPath)
{
    return "Nothing in " + NameOf(sQIFPath) + " is new: " +
           (report.count == 1
                ? std::string("its one transaction was")
                : "all of its " + std::to_string(report.count) + " transactions were") +
           " already in " + Statements(report.statements) + ". Nothing was written.";
}

std::vector<std::string> LeftOutRepeatLines(const ConversionOutcome& objOutcome)
{
    std::vector<std::string> lines;
    if (!objOutcome.repeats || !objOutcome.repeats->bolLeftOut || objOutcome.repeats->sameFile) {
        return lines;
    }
    const RepeatReport& report = *objOutcome.repeats;
    // The statements are named by their paths; one made again at the same path without
    // replacing the first is told as the latest of them.
    std::vector<const history::StatementEntry*> named;
    for (auto entry = report.statements.rbegin(); entry != report.statements.rend(); ++entry) {
        if (std::none_of(named.begin(), named.end(), [&entry](const auto* other) {
                return other->sStatement == entry->sStatement;
            })) {
            named.insert(named.begin(), &*entry);
        }
    }
    for (const history::StatementEntry* entry : named) {
        std::vector<const RepeatRecord*> records;
        for (const RepeatRecord& record : report.records) {
            if (record.sStatement == entry->sStatement) {
                records.push_back(&record);
            }
        }
        if (records.empty()) {
            continue;
        }
        std::string sLine = std::to_string(records.size()) +
                            (records.size() == 1 ? " transaction" : " transactions") +
                            " left out, already in " + NameOf(entry->sStatement) + " (made on " +
                            qif::DescribeDate(MadeDay(*entry)) + " from " +
                            NameOf(entry->sQIFFile) + "): ";
        for (std::size_t i = 0; i < records.size() && i < kRepeatsNamed; ++i) {
            sLine += (i == 0 ? "" : ", ") + Transaction(*records[i]);
        }
        if (records.size() > kRepeatsNamed) {
            sLine += " and " + std::to_string(records.size() - kRepeatsNamed) + " more";
        }
        lines.push_back(sLine + ".");
    }
    return lines;
}

std::vector<std::string> HistoryLines(const ConversionOutcome& objOutcome)
{
    std::vector<std::string> lines;
    for (const std::string& sTrouble : objOutcome.historyTroubles) {
        lines.push_back(platform::CapitalisedAscii(sTrouble) + ".");
    }
    if (!objOutcome.repeats) {
        return lines;
    }
    const RepeatReport& report = *objOutcome.repeats;
    if (!report.possible.empty()) {
        std::string sLine = "Possible repeats (the same amount and payee within " +
                            std::to_string(kPossibleRepeatDays) +
                            " days of a transaction in an earlier statement), written all the "
                            "same: ";
        for (std::size_t i = 0; i < report.possible.size() && i < kRepeatsNamed; ++i) {
            const RepeatRecord& record = report.possible[i];
            sLine += (i == 0 ? "" : ", ") + std::string("line ") + std::to_string(record.line) +
                     " (" + Transaction(record) + "; " + DayAndMonth(record.sEarlierDay) + " in " +
                     NameOf(record.sStatement) + ")";
        }
        if (report.possible.size() > kRepeatsNamed) {
            sLine += " and " + std::to_string(report.possible.size() - kRepeatsNamed) + " more";
        }
        lines.push_back(sLine + ".");
    }
    if (!report.otherAccounts.empty()) {
        const history::StatementEntry& other = report.otherAccounts.front();
        lines.push_back(std::string("The QIF file was converted before for the account ") +
                        kOpenQuote + other.sAccount + kCloseQuote + ", on " +
                        qif::DescribeDate(MadeDay(other)) + ", to " + NameOf(other.sStatement) +
                        ".");
    }
    return lines;
}

} // namespace qif2ldx::app::gui
