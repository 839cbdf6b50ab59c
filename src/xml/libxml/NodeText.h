// SPDX-License-Identifier: MIT
#pragma once

#include <libxml/tree.h>
#include <string>

namespace qif2ldx::xml::libxml {

// How the program looks at libxml2's nodes (names are checked in NameRules.h).

// An element of that name without a namespace.
[[nodiscard]] bool IsElementNamed(const xmlNode* node, const std::string& name);

// Nodes that have a list of children of their own.
[[nodiscard]] bool HasChildList(const xmlNode* node);

// The node's type as the DOM names it ("element", "text", "cdatasection" …); empty for others.
[[nodiscard]] const char* TypeString(xmlElementType type);

} // namespace qif2ldx::xml::libxml
