// SPDX-License-Identifier: MIT
#include "app/cli/AccountsCommand.h"

#include "app/AccountList.h"
#include "app/cli/Options.h"
#include "app/cli/Wording.h"
#include "platform/Utf8.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <nlohmann/json.hpp>
#include <ostream>

namespace qif2ldx::app::cli {
namespace {

// Name, type, currency and number, in columns as wide as their widest text.
void PrintLong(const std::vector<AccountEntry>& accounts, std::ostream& out)
{
    using Row = std::array<std::string, 4>;
    std::vector<Row> rows{{"Name", "Type", "Currency", "Number"}};
    for (const AccountEntry& entry : accounts) {
        const records::CAcctInfo& info = entry.cAcctInf;
        rows.push_back(
            {platform::EscapeControls(info.AcctName), platform::EscapeControls(info.AcctType),
             platform::EscapeControls(info.CurDef), platform::EscapeControls(info.AcctNum)});
    }
    std::array<std::size_t, 4> widths{};
    for (const Row& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            widths.at(i) = std::max(widths.at(i), platform::Utf8Length(row.at(i)));
        }
    }
    for (const Row& row : rows) {
        std::string sLine;
        for (std::size_t i = 0; i < row.size(); ++i) {
            sLine += row.at(i);
            if (i + 1 < row.size()) {
                sLine += std::string(widths.at(i) - platform::Utf8Length(row.at(i)) + 2, ' ');
            }
        }
        out << sLine.substr(0, sLine.find_last_not_of(' ') + 1) << "\n";
    }
}

void PrintJson(const std::vector<AccountEntry>& accounts, std::ostream& out)
{
    nlohmann::json list = nlohmann::json::array();
    for (const AccountEntry& entry : accounts) {
        const records::CAcctInfo& info = entry.cAcctInf;
        list.push_back({{"name", info.AcctName},
                        {"type", info.AcctType},
                        {"currency", info.CurDef},
                        {"account", info.AcctNum},
                        {"bank", info.BranchNum},
                        {"bank_id", info.BID}});
    }
    out << list.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
}

} // namespace

void AccountsCommand::AddOptions(CLI::App& objCommand)
{
    AddAccountListOption(objCommand, sAccountList_);
    CLI::Option* objLong = objCommand.add_flag(
        "--long,-l", bolLong_, "Show each account's type, currency and number beside its name");
    objCommand
        .add_flag("--json", bolJson_,
                  "Print the accounts as one JSON list of objects with every field")
        ->excludes(objLong);
    objCommand.footer("Exit status: 0 printed, also when the list is missing or holds lines that "
                      "name no account (warnings); 2 a usage error.\n\n"
                      "Examples:\n"
                      "  qif2ldx accounts --long\n"
                      "  qif2ldx accounts --account-list ~/olacclst.dat --json");
}

int AccountsCommand::Run(const CommandLineContext& objContext)
{
    const std::string sList =
        ResolveAccountList(sAccountList_, objContext.objProgramFolder, objContext.objEnvironment);
    const AccountListContents contents = ReadAccountList(sList);
    if (bolJson_) {
        PrintJson(contents.accounts, objContext.objOut);
    } else if (bolLong_ && !contents.accounts.empty()) { // no header over nothing
        PrintLong(contents.accounts, objContext.objOut);
    } else {
        for (const AccountEntry& entry : contents.accounts) {
            objContext.objOut << platform::EscapeControls(entry.cAcctInf.AcctName) << "\n";
        }
    }
    if (!contents.bolRead) {
        objContext.objErr << kProgram
                          << ": warning: " << CannotReadAccountList(sList, contents.reason) << "\n";
        return kExitDone;
    }
    for (const AccountLineFault& fault : contents.faults) {
        objContext.objErr << kProgram << ": warning: " << DescribeFault(sList, fault) << "\n";
    }
    objContext.objErr << kProgram << ": accounts from " << platform::EscapeControls(sList) << "\n";
    return kExitDone;
}

} // namespace qif2ldx::app::cli
