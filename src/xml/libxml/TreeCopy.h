// SPDX-License-Identifier: MIT
#pragma once

#include "xml/lean/LeanTree.h"
#include "xml/libxml/Handles.h"

#include <optional>
#include <string>

namespace qif2ldx::xml::libxml {

// Copies between libxml2's tree and the lean tree, node for node, so that each holds what the
// other would: the same elements, attributes, texts and CDATA sections in the same order, and
// the same facts of the XML declaration.

// Fills the empty tree with the document; false when the document holds anything the lean
// tree cannot (a DTD, comments, processing instructions, entity references, namespaces), the
// tree then being of no use.
[[nodiscard]] bool CopyToLean(const xmlDoc& doc, const std::optional<std::string>& declaredEncoding,
                              lean::LeanTree& tree);

// A libxml2 document holding what the tree holds. Throws std::bad_alloc.
[[nodiscard]] DocPtr CopyFromLean(const lean::LeanTree& tree);

} // namespace qif2ldx::xml::libxml
