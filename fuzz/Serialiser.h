// SPDX-License-Identifier: MIT
#pragma once

#include <libxml/tree.h>
#include <string>

namespace qif2ldx::fuzz {

// libxml2's own writing of a document, the oracle that the program's writer is held to: no XML
// declaration unless the document came with one, no indentation, every element with an end tag
// (<MEMO></MEMO>), CR LF after each top-level node.

// To an open file, as Windows-1252 (characters it cannot hold as decimal references); false
// when a write fails.
[[nodiscard]] bool SerialiseToFile(const xmlDoc& doc, int fd);

// As UTF-8 text. node: only that node's markup; nullptr for the whole document. Throws
// std::runtime_error when libxml2 cannot serialise it.
[[nodiscard]] std::string SerialiseToText(const xmlDoc& doc, xmlNode* node);

} // namespace qif2ldx::fuzz
