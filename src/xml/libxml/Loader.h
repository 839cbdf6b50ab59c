// SPDX-License-Identifier: MIT
#pragma once

#include "xml/dom/IDomDocument.h"
#include "xml/libxml/Handles.h"

#include <optional>
#include <string>
#include <string_view>

namespace qif2ldx::xml::libxml {

// A document loaded, or why it was not.
struct LoadResult
{
    DocPtr doc;                                  // nullptr when the load failed
    DomParseError reason;                        // why it failed
    std::optional<std::string> declaredEncoding; // what the XML declaration names
};

// Parses text the hardened way: nothing outside it is ever read (no external DTD or entity, no
// network), a document that declares a DTD is validated against the declarations it carries
// when bolValidate, and one whose entity references would grow its text far beyond its own
// size is refused. bolUtf8Text: the bytes are UTF-8 whatever their declaration says (text
// handed over as a string); otherwise the declaration or byte-order mark decides.
[[nodiscard]] LoadResult ParseDocument(std::string_view bytes, const std::string& sUrl,
                                       bool bolUtf8Text, bool bolValidate);

// Reads a regular file and parses it as ParseDocument does. A missing or unreadable file, or
// anything but a regular file, gives libxml2's input/output code with the system's reason.
[[nodiscard]] LoadResult LoadDocumentFile(const std::string& sFileName, bool bolValidate);

} // namespace qif2ldx::xml::libxml
