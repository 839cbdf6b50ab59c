// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

namespace qif2ldx::qif {

// The name the first "!Account" block of a QIF file gives (its "N" line, blanks at either end
// removed), as UTF-8; nullopt when the file names no account, cannot be read, is larger than
// the largest QIF file read, or is no text. Reads the file only; never throws but
// std::bad_alloc.
[[nodiscard]] std::optional<std::string> FirstAccountName(const std::string& sPath);

} // namespace qif2ldx::qif
