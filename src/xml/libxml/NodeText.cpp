// SPDX-License-Identifier: MIT
#include "xml/libxml/NodeText.h"

#include "xml/libxml/Handles.h"

namespace qif2ldx::xml::libxml {

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
