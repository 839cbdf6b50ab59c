// SPDX-License-Identifier: MIT
#pragma once

#include "xml/dom/IDomDocument.h"
#include "xml/lean/LeanTree.h"

#include <optional>
#include <string>
#include <string_view>

namespace qif2ldx::xml::libxml {

// Parses text the hardened way into the empty tree: nothing outside it is ever read (no
// external DTD or entity, no network), a document that declares a DTD is validated against the
// declarations it carries when bolValidate, and one whose entity references would grow its
// text far beyond its own size is refused. bolUtf8Text: the bytes are UTF-8 whatever their
// declaration says (text handed over as a string); otherwise the declaration or byte-order mark
// decides. nullopt when the document loaded; otherwise why not, the tree then being of no use.
// Throws std::bad_alloc.
[[nodiscard]] std::optional<DomParseError> ParseInto(std::string_view bytes,
                                                     const std::string& sUrl, bool bolUtf8Text,
                                                     bool bolValidate, lean::LeanTree& tree);

// Reads a regular file and parses it as ParseInto does. A missing or unreadable file, or
// anything but a regular file, gives libxml2's input/output code with the system's reason.
[[nodiscard]] std::optional<DomParseError> LoadFileInto(const std::string& sFileName,
                                                        bool bolValidate, lean::LeanTree& tree);

} // namespace qif2ldx::xml::libxml
