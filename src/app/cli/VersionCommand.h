// SPDX-License-Identifier: MIT
#pragma once

#include "app/cli/Command.h"

namespace qif2ldx::app::cli {

// `qif2ldx version`: "qif2ldx 1.2.3" on stdout, as --version prints it.
class VersionCommand final : public Command
{
public:
    void AddOptions(CLI::App& /*objCommand*/) override {}
    [[nodiscard]] int Run(const CommandLineContext& objContext) override;
};

// The line --version and `version` print, without its line break.
[[nodiscard]] std::string VersionLine();

} // namespace qif2ldx::app::cli
