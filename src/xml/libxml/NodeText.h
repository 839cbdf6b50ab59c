// SPDX-License-Identifier: MIT
#pragma once

#include <libxml/tree.h>
#include <string>
#include <string_view>

namespace qif2ldx::xml::libxml {

// What an XML tree may hold: element names (text follows StoredText in xml/dom).

// Throws DomError unless the name is a valid XML name.
void CheckName(const std::string& name);

// Remembers the last few element names found valid: a statement uses a few dozen names
// millions of times.
class NameCheck
{
public:
    // Throws DomError unless the name is a valid XML name.
    void Check(const std::string& name);

private:
    std::string known_[8];
    std::size_t next_ = 0;
};

// An element of that name without a namespace.
[[nodiscard]] bool IsElementNamed(const xmlNode* node, const std::string& name);

// Nodes that have a list of children of their own.
[[nodiscard]] bool HasChildList(const xmlNode* node);

// The node's type as the DOM names it ("element", "text", "cdatasection" …); empty for others.
[[nodiscard]] const char* TypeString(xmlElementType type);

} // namespace qif2ldx::xml::libxml
