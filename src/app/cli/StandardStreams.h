// SPDX-License-Identifier: MIT
#pragma once

#include "platform/StagedFile.h"

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace qif2ldx::app::cli {

// Standard input kept in a private file, or why it could not be.
struct Spool
{
    std::optional<platform::StagedFile> file;
    std::string sError; // for the user, when there is no file
};

// Standard input, copied whole into a private file beside sBeside (".NAME.qif.<random>.tmp"), so
// that it is read as any QIF file is; refused past the largest QIF file read. objIn is null
// where there is no standard input to read.
[[nodiscard]] Spool SpoolStandardInput(std::istream* objIn, const std::string& sBeside);

// Hands a finished statement's bytes to the stream, as they come; false once the stream fails.
[[nodiscard]] std::function<bool(std::string_view)> DeliverTo(std::ostream& objOut);

} // namespace qif2ldx::app::cli
