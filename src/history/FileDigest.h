// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

namespace qif2ldx::history {

// What the history knows a QIF file's bytes by: 32 hexadecimal digits of XXH128 over the whole
// file. nullopt when the file cannot be read. Never throws but std::bad_alloc.
[[nodiscard]] std::optional<std::string> FileDigest(const std::string& sPath);

} // namespace qif2ldx::history
