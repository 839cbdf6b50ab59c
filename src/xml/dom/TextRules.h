// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace qif2ldx::xml {

// The text as an XML document stores it: every character that XML 1.0 cannot hold (control
// characters other than tab, LF and CR; U+FFFE, U+FFFF) becomes a space. Returns the input
// itself when it is already clean, which is by far the common case, and storage otherwise.
// Throws DomError for text that is not valid UTF-8.
[[nodiscard]] std::string_view StoredText(std::string_view text, std::string& storage);

} // namespace qif2ldx::xml
