// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Reason.h"
#include "xml/lean/LeanTree.h"

#include <optional>
#include <string>
#include <string_view>

namespace qif2ldx::xml::lean {

// Writes a LeanTree, byte for byte as libxml2 writes the same tree: the XML declaration only
// when the document came with one, no indentation, every element with an end tag
// (<MEMO></MEMO>), CR LF after each top-level node; in text "&", "<", ">" and CR as references;
// in attribute values also '"', tab and LF, and every character beyond ASCII as a hexadecimal
// reference when the document's encoding is unknown.

// The character sets a file can be written in.
enum class Charset
{
    Utf8,
    Windows1252 // a character that the code page cannot hold as a decimal reference
};

// The character set of that name ("UTF-8", "windows-1252", in any case); nullopt for others.
[[nodiscard]] std::optional<Charset> FindCharset(std::string_view sName);

// The node's markup as UTF-8; the document node gives the whole document.
[[nodiscard]] std::string WriteText(const LeanTree& tree, NodeId node);

// The whole document to the open file in the character set, from the descriptor's offset;
// fails with the system's reason when a write fails.
[[nodiscard]] platform::Done WriteFile(const LeanTree& tree, int fd, Charset charset);

} // namespace qif2ldx::xml::lean
