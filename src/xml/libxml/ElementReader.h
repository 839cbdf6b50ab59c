// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace qif2ldx::xml::libxml {

using NameCallback = std::function<void(std::string_view)>;

// Reads the bytes with libxml2's SAX parser (no tree, nothing external read): each
// element's start and end, and the text directly inside elements. False, with the reason,
// for bytes that are not a well-formed document.
[[nodiscard]] bool ReadElements(std::string_view bytes, const char* sEncoding,
                                const NameCallback& onStart, const NameCallback& onText,
                                const NameCallback& onEnd, std::string& sError);

} // namespace qif2ldx::xml::libxml
