// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Reason.h"
#include "xml/lean/LeanTree.h"

#include <string>

namespace qif2ldx::xml::lean {

// Writes a LeanTree in the statement body's form, byte for byte as libxml2 writes the same
// tree: the XML declaration only when the document came with one, no indentation, every element
// with an end tag (<MEMO></MEMO>), CR LF after each top-level node; in text "&", "<", ">" and
// CR as references; in attribute values also '"', tab and LF, and every character beyond ASCII
// as a hexadecimal reference when the document's encoding is unknown.

// The node's markup as UTF-8; the document node gives the whole document.
[[nodiscard]] std::string WriteText(const LeanTree& tree, NodeId node);

// The whole document to the open file as Windows-1252, a character that the code page cannot
// hold as a decimal reference; false when a write fails.
[[nodiscard]] platform::Done WriteFile(const LeanTree& tree, int fd);

} // namespace qif2ldx::xml::lean
