// SPDX-License-Identifier: MIT
#pragma once

#include "app/cli/Command.h"

#include <string>

namespace CLI {
class App;
}

namespace qif2ldx::app::cli {

// `qif2ldx history`: the statements the history holds, newest first (when made, account,
// transactions, period, statement, QIF file), as a table or JSON; read only, never making the
// history. `qif2ldx history forget STATEMENT` forgets the entries of a statement (a path,
// resolved as convert resolves it), `forget --account NAME --all` every entry of an account.
// Exit status 0 done, 1 when the history cannot be read or written or nothing matched, 2 for
// a wrong command line.
class HistoryCommand final : public Command
{
public:
    void AddOptions(CLI::App& objCommand) override;
    [[nodiscard]] int Run(const CommandLineContext& objContext) override;

private:
    [[nodiscard]] int List(const CommandLineContext& objContext) const;
    [[nodiscard]] int Forget(const CommandLineContext& objContext) const;

    std::string sAccount_;
    bool bolJson_ = false;
    const CLI::App* objForget_ = nullptr;
    std::string sStatement_;
    std::string sForgetAccount_;
    bool bolAll_ = false;
};

} // namespace qif2ldx::app::cli
