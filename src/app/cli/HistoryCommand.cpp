// SPDX-License-Identifier: MIT
#include "app/cli/HistoryCommand.h"

#include "app/HistoryReview.h"
#include "app/KeptHistory.h"
#include "app/MainModule.h"
#include "app/Receipt.h"
#include "app/cli/Wording.h"
#include "platform/Utf8.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <nlohmann/json.hpp>
#include <ostream>

namespace qif2ldx::app::cli {
namespace {

constexpr std::size_t kColumns = 6;
using Row = std::array<std::string, kColumns>;

// "2026-05-02 09:14" for "2026-05-02T09:14:00".
std::string ShowMade(const std::string& sMade)
{
    std::string sText = sMade.substr(0, 16);
    std::replace(sText.begin(), sText.end(), 'T', ' ');
    return sText;
}

std::string ShowPeriod(const history::StatementEntry& entry, const DateShower& objShowDate)
{
    if (entry.start == 0) {
        return "-";
    }
    return objShowDate(std::to_string(entry.start)) + " to " +
           objShowDate(std::to_string(entry.end));
}

// Aligned on a terminal, tab-separated otherwise; the paths last, never cut.
void PrintRows(const std::vector<Row>& rows, bool bolAligned, std::ostream& out)
{
    std::array<std::size_t, kColumns> widths{};
    for (const Row& row : rows) {
        for (std::size_t i = 0; i < kColumns; ++i) {
            widths.at(i) = std::max(widths.at(i), platform::Utf8Length(row.at(i)));
        }
    }
    for (const Row& row : rows) {
        std::string sLine;
        for (std::size_t i = 0; i < kColumns; ++i) {
            sLine += row.at(i);
            if (i + 1 == kColumns) {
                break;
            }
            sLine += bolAligned
                         ? std::string(widths.at(i) - platform::Utf8Length(row.at(i)) + 2, ' ')
                         : std::string("\t");
        }
        out << sLine << "\n";
    }
}

nlohmann::json EntryJson(const history::StatementEntry& entry)
{
    return {{"made", entry.sMade},
            {"account", entry.sAccount},
            {"statement", entry.sStatement},
            {"qif_file", entry.sQIFFile},
            {"qif_account", entry.sQIFAccount},
            {"transactions", entry.transactions},
            {"period", entry.start == 0
                           ? nlohmann::json(nullptr)
                           : nlohmann::json{{"start", IsoDate(std::to_string(entry.start))},
                                            {"end", IsoDate(std::to_string(entry.end))}}},
            {"profile", entry.sProfile}};
}

// "the history … cannot be read: it is in use by another program".
std::string Trouble(const std::string& sPath, const history::Status& status, const char* sWhat)
{
    std::string sWhy;
    switch (status.trouble) {
    case history::Trouble::Busy:
        sWhy = "it is in use by another program";
        break;
    case history::Trouble::Damaged:
        sWhy = "it is damaged (" + status.sDetail + ")";
        break;
    case history::Trouble::Foreign:
        sWhy = "it is not a history of qif2ldx (" + status.sDetail + ")";
        break;
    case history::Trouble::Newer:
        sWhy = "a newer version of the program made it";
        break;
    case history::Trouble::None:
    case history::Trouble::Absent:
    case history::Trouble::Unavailable:
    case history::Trouble::ReadOnly:
        sWhy = status.sDetail;
        break;
    }
    return "the history " + platform::EscapeControls(sPath) + " cannot be " + sWhat + ": " + sWhy;
}

// Told when no folder for the history is known: there is none to list or forget from.
constexpr const char* kNoFolder = "neither XDG_DATA_HOME nor HOME names a folder for the history";

} // namespace

void HistoryCommand::AddOptions(CLI::App& objCommand)
{
    objCommand.add_option("--account,-a", sAccount_, "Only the statements of this account");
    objCommand.add_flag("--json", bolJson_, "Write the statements as one JSON object");
    CLI::App* objForget = objCommand.add_subcommand(
        "forget", "Forget a statement, or with --account and --all every statement of an account");
    objForget->add_option("STATEMENT", sStatement_,
                          "The statement file to forget; - for the statements written to "
                          "standard output");
    objForget->add_option("--account,-a", sForgetAccount_,
                          "The account whose statements to forget");
    objForget->add_flag("--all", bolAll_, "Forget every statement of the --account");
    objForget_ = objForget;
    objCommand.footer("Exit status: 0 listed or forgotten, 1 the history cannot be read or "
                      "changed (or holds no statement to forget as named), 2 usage error.\n\n"
                      "Examples:\n"
                      "  qif2ldx history --account Savings\n"
                      "  qif2ldx history forget ~/Downloads/May.LDX\n"
                      "  qif2ldx history forget -    (the statements written to standard output)");
}

int HistoryCommand::Run(const CommandLineContext& objContext)
{
    return objForget_ != nullptr && objForget_->parsed() ? Forget(objContext) : List(objContext);
}

int HistoryCommand::List(const CommandLineContext& objContext) const
{
    const std::string sPath = UserDataFile(objContext.objEnvironment, kHistoryFileName);
    if (sPath.empty()) {
        objContext.objErr << kProgram
                          << ": error: the statements made cannot be listed: " << kNoFolder << "\n";
        return kExitFailed;
    }
    history::History objHistory;
    history::Status status = objHistory.Open(sPath, history::History::Access::Read);
    history::Result<std::vector<history::StatementEntry>> entries;
    if (status.Ok()) {
        entries = objHistory.Statements(
            Trim(sAccount_).empty() ? std::nullopt : std::optional<std::string>(Trim(sAccount_)));
        status = entries.status;
    }
    if (!status.Ok() && status.trouble != history::Trouble::Absent) {
        objContext.objErr << kProgram << ": error: " << Trouble(sPath, status, "read") << "\n";
        return kExitFailed;
    }
    if (bolJson_) {
        nlohmann::json list = nlohmann::json::array();
        for (const history::StatementEntry& entry : entries.value) {
            list.push_back(EntryJson(entry));
        }
        objContext.objOut << nlohmann::json{{"history", sPath}, {"statements", std::move(list)}}
                                 .dump(2, ' ', false, nlohmann::json::error_handler_t::replace)
                          << "\n";
        return kExitDone;
    }
    if (entries.value.empty()) {
        objContext.objErr << kProgram << ": no statements recorded"
                          << (Trim(sAccount_).empty()
                                  ? std::string()
                                  : " for the account \"" +
                                        platform::EscapeControls(Trim(sAccount_)) + "\"")
                          << " in " << platform::EscapeControls(sPath) << "\n";
        return kExitDone;
    }
    const DateShower objShowDate = objContext.objShowDate ? objContext.objShowDate : IsoDate;
    std::vector<Row> rows{{"Made", "Account", "Transactions", "Period", "Statement", "QIF file"}};
    for (const history::StatementEntry& entry : entries.value) {
        rows.push_back({ShowMade(entry.sMade), platform::EscapeControls(entry.sAccount),
                        std::to_string(entry.transactions), ShowPeriod(entry, objShowDate),
                        platform::EscapeControls(entry.sStatement),
                        platform::EscapeControls(entry.sQIFFile)});
    }
    PrintRows(rows, objContext.outColumns > 0, objContext.objOut);
    return kExitDone;
}

int HistoryCommand::Forget(const CommandLineContext& objContext) const
{
    std::ostream& err = objContext.objErr;
    const std::string sAccount = Trim(sForgetAccount_);
    if (sStatement_.empty() && (sAccount.empty() || !bolAll_)) {
        err << kProgram << ": error: name the statement to forget, or --account NAME --all to "
            << "forget every statement of an account\n";
        return kExitRefused;
    }
    const std::string sPath = UserDataFile(objContext.objEnvironment, kHistoryFileName);
    if (sPath.empty()) {
        err << kProgram << ": error: nothing can be forgotten: " << kNoFolder << "\n";
        return kExitFailed;
    }
    history::History objHistory;
    // Forgetting never makes a history: there must be one to forget from.
    history::Status status = objHistory.Open(sPath, history::History::Access::Read);
    if (status.Ok()) {
        status = objHistory.Open(sPath, history::History::Access::Write);
    }
    history::Result<std::vector<history::StatementEntry>> entries;
    if (status.Ok()) {
        entries = objHistory.Statements(sAccount.empty() ? std::nullopt
                                                         : std::optional<std::string>(sAccount));
        status = entries.status;
    }
    if (!status.Ok() && status.trouble != history::Trouble::Absent) {
        err << kProgram << ": error: " << Trouble(sPath, status, "changed") << "\n";
        return kExitFailed;
    }
    // "-" names the statements written to standard output, as --output - writes them.
    const std::string sStatement = sStatement_.empty()        ? std::string()
                                   : Trim(sStatement_) == "-" ? std::string(kStandardOutput)
                                                              : AbsolutePath(Trim(sStatement_));
    std::vector<history::StatementEntry> chosen;
    std::copy_if(entries.value.begin(), entries.value.end(), std::back_inserter(chosen),
                 [&sStatement](const history::StatementEntry& entry) {
                     return sStatement.empty() || entry.sStatement == sStatement;
                 });
    if (chosen.empty()) {
        err << kProgram << ": error: the history holds no statement "
            << (sStatement.empty() ? "of the account \"" + platform::EscapeControls(sAccount) + "\""
                : sStatement == kStandardOutput ? std::string("written to standard output")
                                                : "made at " + platform::EscapeControls(sStatement))
            << "\n";
        return kExitFailed;
    }
    std::vector<std::int64_t> ids;
    ids.reserve(chosen.size());
    for (const history::StatementEntry& entry : chosen) {
        ids.push_back(entry.id);
    }
    if (const history::Status forgotten = objHistory.Forget(ids); !forgotten.Ok()) {
        err << kProgram << ": error: " << Trouble(sPath, forgotten, "changed") << "\n";
        return kExitFailed;
    }
    for (const history::StatementEntry& entry : chosen) {
        err << kProgram << ": forgot " << platform::EscapeControls(entry.sStatement) << ", made "
            << ShowMade(entry.sMade) << " from " << platform::EscapeControls(entry.sQIFFile)
            << " for \"" << platform::EscapeControls(entry.sAccount) << "\" (" << entry.transactions
            << (entry.transactions == 1 ? " transaction)\n" : " transactions)\n");
    }
    return kExitDone;
}

} // namespace qif2ldx::app::cli
