// SPDX-License-Identifier: MIT
#pragma once

#include "app/cli/Command.h"

#include <string>

namespace qif2ldx::app::cli {

// `qif2ldx accounts`: the account names the dialog offers, one a line (--long: with each
// account's type, currency and number; --json: every field as JSON), and on stderr which list
// they come from. A list that is missing, or lines of it that name no account, are warnings:
// the exit status is 0.
class AccountsCommand final : public Command
{
public:
    void AddOptions(CLI::App& objCommand) override;
    [[nodiscard]] int Run(const CommandLineContext& objContext) override;

private:
    std::string sAccountList_;
    bool bolLong_ = false;
    bool bolJson_ = false;
};

} // namespace qif2ldx::app::cli
