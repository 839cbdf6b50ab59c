// SPDX-License-Identifier: MIT
#pragma once

#include "app/cli/CommandLine.h"

#include <string>

namespace qif2ldx::app::cli {

struct ShowOptions
{
    std::string sQIFFile;
    std::string sDateOrder = "auto";
};

// `qif2ldx show`: the transactions as a conversion would write them, as a table that fits the
// terminal (tab-separated when stdout is no terminal), then the records left out. Returns the
// exit status: 0 read, 1 the file cannot be read as QIF, 2 no such file.
int RunShow(const ShowOptions& objOptions, const CommandLineContext& objContext);

} // namespace qif2ldx::app::cli
