// SPDX-License-Identifier: MIT
#include "xml/libxml/TreeCopy.h"

#include <new>
#include <string_view>
#include <vector>

namespace qif2ldx::xml::libxml {
namespace {

using lean::kNoNode;
using lean::LeanTree;
using lean::NodeId;
using lean::NodeKind;

std::string_view View(const xmlChar* text)
{
    return text == nullptr ? std::string_view() : reinterpret_cast<const char*>(text);
}

// Text for libxml2: never a null pointer, so that an empty text is an empty string there too.
const xmlChar* Bytes(std::string_view text)
{
    return reinterpret_cast<const xmlChar*>(text.empty() ? "" : text.data());
}

// A text node as the parser makes it (libxml2 names text that it writes unescaped otherwise).
bool IsPlainText(const xmlNode& node)
{
    return node.type == XML_TEXT_NODE &&
           xmlStrEqual(node.name, reinterpret_cast<const xmlChar*>("text")) != 0;
}

// The value of an attribute without a namespace that is held, as the parser and the DOM hold
// it, in one text node; nullopt for any other.
std::optional<std::string_view> PlainValue(const xmlAttr& attribute)
{
    const xmlNode* text = attribute.children;
    if (attribute.ns != nullptr || text == nullptr || text->next != nullptr ||
        !IsPlainText(*text)) {
        return std::nullopt;
    }
    return View(text->content);
}

// Copies one node under parent; false when the lean tree cannot hold it. The children of an
// element are left to the caller, which gets the element's copy in element.
bool CopyNode(const xmlNode& node, NodeId parent, LeanTree& tree, NodeId& element)
{
    element = kNoNode;
    const bool bolUnderDocument = parent == LeanTree::kDocument;
    switch (node.type) {
    case XML_ELEMENT_NODE:
        if (node.ns != nullptr || node.nsDef != nullptr) {
            return false;
        }
        element = tree.AppendElement(parent, tree.AddName(View(node.name)));
        for (const xmlAttr* attribute = node.properties; attribute != nullptr;
             attribute = attribute->next) {
            const std::optional<std::string_view> value = PlainValue(*attribute);
            if (!value) {
                return false;
            }
            tree.SetAttribute(element, View(attribute->name), *value);
        }
        return true;
    case XML_TEXT_NODE:
        if (bolUnderDocument || !IsPlainText(node)) {
            return false;
        }
        static_cast<void>(tree.AppendText(parent, NodeKind::Text, View(node.content)));
        return true;
    case XML_CDATA_SECTION_NODE:
        if (bolUnderDocument) {
            return false;
        }
        static_cast<void>(tree.AppendText(parent, NodeKind::CData, View(node.content)));
        return true;
    default:
        return false;
    }
}

xmlNode* NewNode(xmlDoc& doc, const LeanTree& tree, NodeId from)
{
    xmlNode* node = nullptr;
    const std::string_view content =
        tree.Kind(from) == NodeKind::Element ? std::string_view() : tree.Content(from);
    switch (tree.Kind(from)) {
    case NodeKind::Element:
        node = xmlNewDocNode(&doc, nullptr, ToXmlChar(tree.Name(tree.NameOf(from))), nullptr);
        break;
    case NodeKind::Text:
        node = xmlNewDocTextLen(&doc, Bytes(content), static_cast<int>(content.size()));
        break;
    default:
        node = xmlNewCDataBlock(&doc, Bytes(content), static_cast<int>(content.size()));
        break;
    }
    if (node == nullptr) {
        throw std::bad_alloc();
    }
    const std::vector<lean::Attribute>* attributes =
        tree.Kind(from) == NodeKind::Element ? tree.Attributes(from) : nullptr;
    if (attributes != nullptr) {
        for (const lean::Attribute& attribute : *attributes) {
            if (xmlNewProp(node, ToXmlChar(attribute.sName), ToXmlChar(attribute.sValue)) ==
                nullptr) {
                xmlFreeNode(node);
                throw std::bad_alloc();
            }
        }
    }
    return node;
}

// Links the node as the last child of parent. xmlAddChild would merge two adjacent texts,
// which a tree can hold once the element between them is removed.
void Link(xmlNode* parent, xmlNode* child)
{
    child->parent = parent;
    if (parent->children == nullptr) {
        parent->children = child;
    } else {
        child->prev = parent->last;
        parent->last->next = child;
    }
    parent->last = child;
}

} // namespace

bool CopyToLean(const xmlDoc& doc, const std::optional<std::string>& declaredEncoding,
                LeanTree& tree)
{
    if (doc.intSubset != nullptr || doc.extSubset != nullptr || doc.version == nullptr) {
        return false;
    }
    struct Pending
    {
        const xmlNode* first; // the first of the children still to be copied
        NodeId parent;        // where their copies go
    };
    std::vector<Pending> pending{{doc.children, LeanTree::kDocument}};
    while (!pending.empty()) {
        const Pending next = pending.back();
        pending.pop_back();
        for (const xmlNode* node = next.first; node != nullptr; node = node->next) {
            NodeId element = kNoNode;
            if (!CopyNode(*node, next.parent, tree, element)) {
                return false;
            }
            if (element != kNoNode && node->children != nullptr) {
                pending.push_back({node->children, element});
            }
        }
    }
    lean::DocumentFacts facts;
    facts.sVersion = View(doc.version);
    facts.lngStandalone = doc.standalone;
    if (doc.encoding != nullptr) {
        facts.vntEncoding = std::string(View(doc.encoding));
    }
    facts.vntDeclaredEncoding = declaredEncoding;
    tree.SetFacts(std::move(facts));
    return true;
}

DocPtr CopyFromLean(const LeanTree& tree)
{
    InitLibXml();
    const lean::DocumentFacts& facts = tree.Facts();
    DocPtr doc(xmlNewDoc(ToXmlChar(facts.sVersion)));
    if (!doc) {
        throw std::bad_alloc();
    }
    doc->standalone = facts.lngStandalone;
    if (facts.vntEncoding) {
        doc->encoding = xmlStrdup(ToXmlChar(*facts.vntEncoding));
        if (doc->encoding == nullptr) {
            throw std::bad_alloc();
        }
    }
    struct Pending
    {
        NodeId from;
        xmlNode* to;
    };
    // The document takes its root as libxml2's own functions give it: as a node.
    std::vector<Pending> pending{{LeanTree::kDocument, reinterpret_cast<xmlNode*>(doc.get())}};
    while (!pending.empty()) {
        const Pending next = pending.back();
        pending.pop_back();
        for (NodeId child = tree.FirstChild(next.from); child != kNoNode;
             child = tree.Next(child)) {
            xmlNode* node = NewNode(*doc, tree, child);
            Link(next.to, node);
            if (tree.Kind(child) == NodeKind::Element && tree.FirstChild(child) != kNoNode) {
                pending.push_back({child, node});
            }
        }
    }
    return doc;
}

} // namespace qif2ldx::xml::libxml
