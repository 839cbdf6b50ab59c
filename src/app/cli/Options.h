// SPDX-License-Identifier: MIT
#pragma once

#include "qif/QIFDate.h"
#include "statement/StatementProfile.h"

#include <optional>
#include <string>

namespace CLI {
class App;
class Option;
} // namespace CLI

namespace qif2ldx::app::cli {

// The options that more than one command takes, each declared once.

// A value of --date-order and the order it names; auto names none (the file decides).
struct DateOrderValue
{
    const char* sName;
    std::optional<qif::DateOrder> order;
};
inline constexpr DateOrderValue kDateOrderValues[] = {{"auto", std::nullopt},
                                                      {"dmy", qif::DateOrder::DayFirst},
                                                      {"mdy", qif::DateOrder::MonthFirst},
                                                      {"ymd", qif::DateOrder::YearFirst}};

// --date-order auto|dmy|mdy|ymd, into sOrder (which holds the default, auto).
void AddDateOrderOption(CLI::App& objCommand, std::string& sOrder, const std::string& sHelp);
// The order a --date-order value names; nullopt for auto (and for no value of the table, which
// the parser refuses before).
[[nodiscard]] std::optional<qif::DateOrder> DateOrderOption(const std::string& sOrder);

// --profile and the names of statement::kProfiles, into sProfile (which holds the default).
void AddProfileOption(CLI::App& objCommand, std::string& sProfile);

// --account-list FILE.
void AddAccountListOption(CLI::App& objCommand, std::string& sAccountList);

// --qif-account NAME, into sName; the option, to ask whether it was given.
CLI::Option* AddQifAccountOption(CLI::App& objCommand, std::string& sName);
// The QIF account --qif-account names; nullopt when it was not given.
[[nodiscard]] std::optional<std::string> QifAccountOption(const CLI::Option* objOption,
                                                          const std::string& sName);

} // namespace qif2ldx::app::cli
