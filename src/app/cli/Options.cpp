// SPDX-License-Identifier: MIT
#include "app/cli/Options.h"

#include <CLI/CLI.hpp>

namespace qif2ldx::app::cli {
namespace {

// One of a fixed set of values, the default shown in the help.
CLI::Option* OneOf(CLI::Option* option, std::vector<std::string> values)
{
    return option->check(CLI::IsMember(std::move(values)))->capture_default_str();
}

} // namespace

void AddDateOrderOption(CLI::App& objCommand, std::string& sOrder, const std::string& sHelp)
{
    std::vector<std::string> values;
    for (const DateOrderValue& value : kDateOrderValues) {
        values.emplace_back(value.sName);
    }
    OneOf(objCommand.add_option("--date-order", sOrder, sHelp), std::move(values));
}

std::optional<qif::DateOrder> DateOrderOption(const std::string& sOrder)
{
    for (const DateOrderValue& value : kDateOrderValues) {
        if (sOrder == value.sName) {
            return value.order;
        }
    }
    return std::nullopt;
}

void AddProfileOption(CLI::App& objCommand, std::string& sProfile)
{
    std::vector<std::string> values;
    for (const statement::StatementProfile* profile : statement::kProfiles) {
        values.emplace_back(profile->sName);
    }
    OneOf(objCommand.add_option("--profile", sProfile,
                                "The statement's form: lodestrand (what Lodestrand reads) or "
                                "portable (what other OFX readers read right)"),
          std::move(values));
}

void AddAccountListOption(CLI::App& objCommand, std::string& sAccountList)
{
    objCommand.add_option("--account-list", sAccountList,
                          "The account list (default: ~/.config/qif2ldx/olacclst.dat when it "
                          "exists, else olacclst.dat beside the program)");
}

CLI::Option* AddQifAccountOption(CLI::App& objCommand, std::string& sName)
{
    // A blank name is no account's: it would quietly take all of them.
    const CLI::Validator named(
        [](const std::string& sValue) {
            return sValue.find_first_not_of(" \t") == std::string::npos
                       ? std::string("names no account; leave it out to take every account")
                       : std::string();
        },
        "");
    return objCommand
        .add_option("--qif-account", sName,
                    "Only the transactions of this account of a QIF file that holds several (the "
                    "name of its !Account block, in any letter case)")
        ->check(named);
}

std::optional<std::string> QifAccountOption(const CLI::Option* objOption, const std::string& sName)
{
    if (objOption == nullptr || objOption->count() == 0) {
        return std::nullopt;
    }
    return sName;
}

} // namespace qif2ldx::app::cli
