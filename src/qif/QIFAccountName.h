// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

namespace qif2ldx::qif {

// The name of the first account a QIF file names (its first "!Account" block with an "N" line),
// as the conversion's survey names it: UTF-8, without the blanks at either end. nullopt when the
// file names no account, cannot be read, is larger than the largest QIF file read, or is no
// QIF text. Reads the file only; never throws but std::bad_alloc.
[[nodiscard]] std::optional<std::string> FirstAccountName(const std::string& sPath);

} // namespace qif2ldx::qif
