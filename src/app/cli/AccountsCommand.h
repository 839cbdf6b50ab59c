// SPDX-License-Identifier: MIT
#pragma once

#include "app/cli/Command.h"

#include <string>

namespace qif2ldx::app::cli {

// `qif2ldx accounts`: the account names the dialog offers, one a line, and on stderr which list
// they come from. Exit status 1 when the list cannot be read to its end.
class AccountsCommand final : public Command
{
public:
    void AddOptions(CLI::App& objCommand) override;
    [[nodiscard]] int Run(const CommandLineContext& objContext) override;

private:
    std::string sAccountList_;
};

} // namespace qif2ldx::app::cli
