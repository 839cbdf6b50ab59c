// SPDX-License-Identifier: MIT
#pragma once

#include "app/cli/Command.h"

#include <string>

namespace CLI {
class Option;
}

namespace qif2ldx::app::cli {

// `qif2ldx show`: the transactions as a conversion would write them, as a table that fits the
// terminal (tab-separated when stdout is no terminal), then the records left out. "-" and pipes
// are read as convert reads them. Exit status: 0 read, 1 the file cannot be read as QIF, 2 no
// such file or no such QIF account, 130 interrupted while waiting for a pipe.
class ShowCommand final : public Command
{
public:
    void AddOptions(CLI::App& objCommand) override;
    [[nodiscard]] int Run(const CommandLineContext& objContext) override;

private:
    std::string sQIFFile_;
    std::string sDateOrder_ = "auto";
    std::string sAccount_;
    std::string sQifAccount_;
    const CLI::Option* objQifAccount_ = nullptr;
};

} // namespace qif2ldx::app::cli
