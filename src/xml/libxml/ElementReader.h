// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qif2ldx::xml::libxml {

using NameCallback = std::function<void(std::string_view)>;
// Fills the buffer with the document's next bytes: how many (0 at its end), nullopt when they
// cannot be read.
using ChunkSource = std::function<std::optional<std::size_t>(char* buffer, std::size_t size)>;

// Reads the document with libxml2's SAX parser (no tree, nothing external read), a piece at a
// time: each element's start and end, and the text directly inside elements. Windows-1252 is
// decoded by the program's own table, so the five bytes the code page leaves undefined read as
// the program writes them. False, with the reason, for bytes that are not a well-formed
// document or cannot be read.
[[nodiscard]] bool ReadElements(const ChunkSource& read, const char* sEncoding,
                                const NameCallback& onStart, const NameCallback& onText,
                                const NameCallback& onEnd, std::string& sError);

} // namespace qif2ldx::xml::libxml
