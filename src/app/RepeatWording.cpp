// SPDX-License-Identifier: MIT
#include "app/RepeatWording.h"

#include "app/Repeats.h"
#include "platform/Utf8.h"

namespace qif2ldx::app {
namespace {

std::string Plural(std::int64_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string Name(const std::string& sText)
{
    return platform::EscapeControls(sText);
}

// "/home/u/April.LDX (made 2026-05-02 from /home/u/April.qif)", the names escaped unless
// bolRaw.
std::string Made(const history::StatementEntry& entry, const DateShower& objShowDate,
                 bool bolRaw = false)
{
    return (bolRaw ? entry.sStatement : Name(entry.sStatement)) + " (made " +
           objShowDate(MadeDay(entry)) + " from " +
           (bolRaw ? entry.sQIFFile : Name(entry.sQIFFile)) + ")";
}

// "A (made …), B (made …) and C (made …)"
std::string Statements(const std::vector<history::StatementEntry>& entries,
                       const DateShower& objShowDate)
{
    std::string sText;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        sText += (i == 0 ? "" : i + 1 == entries.size() ? " and " : ", ");
        sText += Made(entries[i], objShowDate);
    }
    return sText;
}

// "line 14 (2026-04-29, CORNER CAFE, -12.50), … and 7 more"; a possible repeat adds the
// earlier one's date and statement.
std::string Records(const std::vector<RepeatRecord>& records, const DateShower& objShowDate)
{
    std::string sText;
    for (std::size_t i = 0; i < records.size() && i < kRepeatsNamed; ++i) {
        const RepeatRecord& record = records[i];
        sText += (i == 0 ? "" : ", ");
        sText += "line " + std::to_string(record.line) + " (" + objShowDate(record.sDate) + ", " +
                 Name(record.sPayee) + ", " + record.sAmount;
        if (!record.sEarlierDay.empty()) {
            sText += "; " + objShowDate(record.sEarlierDay) + " in " + Name(record.sStatement);
        }
        sText += ")";
    }
    if (records.size() > kRepeatsNamed) {
        sText += " and " + std::to_string(records.size() - kRepeatsNamed) + " more";
    }
    return sText;
}

} // namespace

std::string MadeDay(const history::StatementEntry& entry)
{
    const std::string& sMade = entry.sMade;
    if (sMade.size() < 10) {
        return sMade;
    }
    return sMade.substr(0, 4) + sMade.substr(5, 2) + sMade.substr(8, 2);
}

std::string AlreadyIn(const history::StatementEntry& entry)
{
    // Kept as it is for the JSON; the terminal's receipt escapes it.
    return "already in " + Made(entry, IsoDate, true);
}

HistoryTidings TellRepeats(const RepeatReport& report, const std::string& sQIFName,
                           bool bolCountedFitIds, const DateShower& objShowDate, bool bolWrites)
{
    HistoryTidings tidings;
    if (!report.bolChecked) {
        return tidings;
    }
    const std::string sQIF = Name(sQIFName);
    const bool bolQuiet = report.policy == RepeatPolicy::Keep;
    const std::string sFitIds =
        bolCountedFitIds ? "; its FITIDs count from 0 as the earlier statements' do, so an "
                           "importer that drops FITIDs it has seen drops other transactions too "
                           "(--profile portable writes FITIDs that tell them apart)"
                         : "";
    if (report.sameFile && !bolQuiet) {
        tidings.warnings.push_back(sQIF + " was converted before for this account, on " +
                                   objShowDate(MadeDay(*report.sameFile)) + ", to " +
                                   Name(report.sameFile->sStatement));
    }
    if (!report.otherAccounts.empty()) {
        const history::StatementEntry& other = report.otherAccounts.front();
        tidings.notes.push_back(sQIF + " was converted before for account \"" +
                                Name(other.sAccount) + "\", on " + objShowDate(MadeDay(other)) +
                                ", to " + Name(other.sStatement));
    }
    if (report.count > 0 && !bolQuiet) {
        const std::string sCount = std::to_string(report.count) + " of the " +
                                   std::to_string(report.transactions) + " transactions of " + sQIF;
        const std::string sWhere = Statements(report.statements, objShowDate);
        const std::string sWhich = Records(report.records, objShowDate);
        if (report.bolLeftOut) {
            tidings.warnings.push_back(sCount + (report.count == 1 ? " was" : " were") +
                                       " left out, already in " + sWhere + ": " + sWhich + sFitIds);
        } else {
            tidings.warnings.push_back(sCount + (report.count == 1 ? " is" : " are") +
                                       " already in " + sWhere + ": " + sWhich +
                                       (report.policy == RepeatPolicy::Warn || !bolWrites
                                            ? "; --repeats skip leaves them out"
                                            : "; they were written") +
                                       sFitIds);
        }
    }
    if (!report.possible.empty() && !bolQuiet) {
        tidings.notes.push_back(
            Plural(static_cast<std::int64_t>(report.possible.size()), "transaction",
                   "transactions") +
            " of " + sQIF + " may repeat earlier ones (the same amount and payee within " +
            std::to_string(kPossibleRepeatDays) +
            " days): " + Records(report.possible, objShowDate) +
            (!bolWrites                    ? std::string()
             : report.possible.size() == 1 ? std::string("; it was written")
                                           : std::string("; they were written")));
    }
    return tidings;
}

std::string NothingNewReason(const RepeatReport& report, const std::string& sQIFName)
{
    if (report.sameFile) {
        return "nothing is new: " + Name(sQIFName) + " was converted on " +
               IsoDate(MadeDay(*report.sameFile)) + " to " + Name(report.sameFile->sStatement) +
               "; nothing was written";
    }
    return "nothing is new: " + std::string(report.count == 1 ? "the " : "all ") +
           Plural(report.count, "transaction", "transactions") + " of " + Name(sQIFName) +
           (report.count == 1 ? " is" : " are") + " already in " +
           Statements(report.statements, IsoDate) + "; nothing was written";
}

} // namespace qif2ldx::app
