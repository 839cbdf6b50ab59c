// SPDX-License-Identifier: MIT
#include "xml/libxml/NodeText.h"

#include "platform/Utf8.h"
#include "xml/dom/DomError.h"
#include "xml/libxml/Handles.h"

namespace qif2ldx::xml::libxml {
namespace {

bool IsAllowedAscii(unsigned char byte)
{
    return byte >= 0x20 || byte == '\t' || byte == '\n' || byte == '\r';
}

bool IsNonCharacter(char32_t cp)
{
    return cp == 0xFFFE || cp == 0xFFFF;
}

} // namespace

std::string_view CleanText(std::string_view text, std::string& storage)
{
    bool clean = true;
    for (std::size_t pos = 0; pos < text.size();) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x80) {
            clean = clean && IsAllowedAscii(byte);
            ++pos;
            continue;
        }
        const platform::Utf8Char c = platform::DecodeUtf8(text, pos);
        if (!c.bolValid) {
            throw DomError("text is not valid UTF-8");
        }
        clean = clean && !IsNonCharacter(c.cp);
        pos += c.length;
    }
    if (clean) {
        return text;
    }
    storage.clear();
    storage.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x80) {
            storage.push_back(IsAllowedAscii(byte) ? text[pos] : ' ');
            ++pos;
            continue;
        }
        const platform::Utf8Char c = platform::DecodeUtf8(text, pos);
        if (IsNonCharacter(c.cp)) {
            storage.push_back(' ');
        } else {
            storage.append(text.substr(pos, c.length));
        }
        pos += c.length;
    }
    return storage;
}

void CheckName(const std::string& name)
{
    if (name.empty() || !platform::IsValidUtf8(name) || xmlValidateName(ToXmlChar(name), 0) != 0) {
        throw DomError("not a valid XML name: " + name);
    }
}

void NameCheck::Check(const std::string& name)
{
    for (const auto& known : known_) {
        if (known == name && !known.empty()) {
            return;
        }
    }
    CheckName(name);
    known_[next_] = name;
    next_ = (next_ + 1) % std::size(known_);
}

bool IsElementNamed(const xmlNode* node, const std::string& name)
{
    return node->type == XML_ELEMENT_NODE && node->ns == nullptr &&
           xmlStrEqual(node->name, ToXmlChar(name)) != 0;
}

bool HasChildList(const xmlNode* node)
{
    return node->type == XML_ELEMENT_NODE || node->type == XML_DOCUMENT_NODE ||
           node->type == XML_ATTRIBUTE_NODE;
}

const char* TypeString(xmlElementType type)
{
    switch (type) {
    case XML_ELEMENT_NODE:
        return "element";
    case XML_ATTRIBUTE_NODE:
        return "attribute";
    case XML_TEXT_NODE:
        return "text";
    case XML_CDATA_SECTION_NODE:
        return "cdatasection";
    case XML_ENTITY_REF_NODE:
        return "entityreference";
    case XML_PI_NODE:
        return "processinginstruction";
    case XML_COMMENT_NODE:
        return "comment";
    case XML_DOCUMENT_NODE:
        return "document";
    case XML_DOCUMENT_TYPE_NODE:
    case XML_DTD_NODE:
        return "documenttype";
    case XML_DOCUMENT_FRAG_NODE:
        return "documentfragment";
    default:
        return "";
    }
}

} // namespace qif2ldx::xml::libxml
