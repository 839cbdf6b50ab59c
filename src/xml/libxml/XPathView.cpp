// SPDX-License-Identifier: MIT
#include "xml/libxml/XPathView.h"

#include "xml/dom/DomError.h"
#include "xml/dom/ElementPath.h"
#include "xml/libxml/Handles.h"

#include <climits>
#include <new>
#include <vector>

namespace qif2ldx::xml::libxml {

using lean::kNoNode;
using lean::LeanTree;
using lean::NodeId;
using lean::NodeKind;

struct XPathView::Copy
{
    DocPtr doc;
    std::uint64_t revision = 0;
};

struct XPathView::Result
{
    XPathObjectPtr object;

    [[nodiscard]] const xmlNodeSet* Nodes() const { return object->nodesetval; }
};

namespace {

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

bool IsDeclaration(const std::string& name)
{
    return name == "xmlns" || (name.starts_with("xmlns:") && name.size() > 6);
}

// The namespace that the prefix of name ("p:local") is bound to where node stands, name then
// cut to its local part; nullptr, name left whole, for a name without a prefix or with one
// declared nowhere. Names without a prefix stay outside every namespace, the default one
// included, so that XPath's name tests select what the plain paths select.
xmlNs* Resolve(xmlDoc& doc, xmlNode* node, std::string& name)
{
    const std::size_t colon = name.find(':');
    if (colon == 0 || colon == std::string::npos || colon + 1 == name.size() ||
        name.find(':', colon + 1) != std::string::npos) {
        return nullptr;
    }
    xmlNs* ns = xmlSearchNs(&doc, node, ToXmlChar(name.substr(0, colon)));
    if (ns != nullptr) {
        name.erase(0, colon + 1);
    }
    return ns;
}

// The element's namespace declarations (attributes in the tree, namespaces to XPath), then its
// name and its attributes in their namespaces, each attribute pointing back to the tree's.
void CopyElement(xmlDoc& doc, const LeanTree& tree, NodeId from, xmlNode* node)
{
    for (NodeId attribute = tree.FirstAttribute(from); attribute != kNoNode;
         attribute = tree.Next(attribute)) {
        const std::string& name = tree.Name(tree.NameOf(attribute));
        if (IsDeclaration(name) && name != "xmlns:xml" &&
            xmlNewNs(node, ToXmlChar(std::string(tree.Content(attribute))),
                     name == "xmlns" ? nullptr : ToXmlChar(name.substr(6))) == nullptr) {
            throw std::bad_alloc();
        }
    }
    std::string name = tree.Name(tree.NameOf(from));
    if (xmlNs* ns = Resolve(doc, node, name)) {
        xmlSetNs(node, ns);
        xmlNodeSetName(node, ToXmlChar(name));
    }
    for (NodeId attribute = tree.FirstAttribute(from); attribute != kNoNode;
         attribute = tree.Next(attribute)) {
        name = tree.Name(tree.NameOf(attribute));
        if (IsDeclaration(name)) {
            continue;
        }
        xmlNs* ns = Resolve(doc, node, name);
        xmlAttr* copy = xmlNewNsProp(node, ns, ToXmlChar(name),
                                     ToXmlChar(std::string(tree.Content(attribute))));
        if (copy == nullptr) {
            throw std::bad_alloc();
        }
        copy->_private = tree.Ref(attribute);
    }
}

// The node's copy, pointing back to it, as the last child of parent; nullptr for the document
// type, which XPath never selects.
xmlNode* NewNode(xmlDoc& doc, const LeanTree& tree, NodeId from, xmlNode* parent)
{
    const NodeKind kind = tree.Kind(from);
    const std::string content(kind == NodeKind::Element ? std::string_view() : tree.Content(from));
    if (content.size() > INT_MAX) {
        throw std::bad_alloc(); // libxml2 holds no longer text
    }
    const auto* text = reinterpret_cast<const xmlChar*>(content.c_str());
    const auto size = static_cast<int>(content.size());
    const xmlChar* name = kind == NodeKind::Element || kind == NodeKind::ProcessingInstruction ||
                                  kind == NodeKind::EntityReference
                              ? ToXmlChar(tree.Name(tree.NameOf(from)))
                              : nullptr;
    xmlNode* node = nullptr;
    switch (kind) {
    case NodeKind::Element:
        node = xmlNewDocNode(&doc, nullptr, name, nullptr);
        break;
    case NodeKind::Text:
        node = xmlNewDocTextLen(&doc, text, size);
        break;
    case NodeKind::CData:
        node = xmlNewCDataBlock(&doc, text, size);
        break;
    case NodeKind::Comment:
        node = xmlNewDocComment(&doc, text);
        break;
    case NodeKind::ProcessingInstruction:
        node = xmlNewDocPI(&doc, name, text);
        break;
    case NodeKind::EntityReference:
        node = xmlNewReference(&doc, name);
        break;
    default:
        return nullptr;
    }
    if (node == nullptr) {
        throw std::bad_alloc();
    }
    node->_private = tree.Ref(from);
    // Linked before its namespaces are set: the document owns it, its ancestors' are in reach.
    Link(parent, node);
    if (kind == NodeKind::Element) {
        CopyElement(doc, tree, from, node);
    }
    return node;
}

// libxml2's copy of the tree.
DocPtr CopyTree(const LeanTree& tree)
{
    DocPtr doc(xmlNewDoc(ToXmlChar(tree.Facts().sVersion)));
    if (!doc) {
        throw std::bad_alloc();
    }
    doc->_private = tree.Ref(LeanTree::kDocument);
    struct Pending
    {
        NodeId from;
        xmlNode* to;
    };
    // The document takes its children as libxml2's own functions give them: as a node.
    std::vector<Pending> pending{{LeanTree::kDocument, reinterpret_cast<xmlNode*>(doc.get())}};
    while (!pending.empty()) {
        const Pending next = pending.back();
        pending.pop_back();
        for (NodeId child = tree.FirstChild(next.from); child != kNoNode;
             child = tree.Next(child)) {
            xmlNode* node = NewNode(*doc, tree, child, next.to);
            if (node != nullptr && tree.FirstChild(child) != kNoNode) {
                pending.push_back({child, node});
            }
        }
    }
    return doc;
}

} // namespace

XPathView::XPathView() = default;

XPathView::~XPathView() = default;

NodeRef XPathView::First(const LeanTree& tree, const std::string& sQuery)
{
    const Result result = Evaluate(tree, sQuery);
    const xmlNodeSet* nodes = result.Nodes();
    if (nodes == nullptr || nodes->nodeNr == 0) {
        return nullptr;
    }
    const xmlNode* first = nodes->nodeTab[0];
    // Namespace nodes are made for the result and die with it.
    if (first->type == XML_NAMESPACE_DECL || first->_private == nullptr) {
        throw DomError("namespace nodes cannot be selected");
    }
    return static_cast<NodeRef>(first->_private);
}

std::int64_t XPathView::Count(const LeanTree& tree, const std::string& sQuery)
{
    const Result result = Evaluate(tree, sQuery);
    return result.Nodes() == nullptr ? 0 : result.Nodes()->nodeNr;
}

XPathView::Result XPathView::Evaluate(const LeanTree& tree, const std::string& sQuery)
{
    InitLibXml();
    ErrorCapture capture;
    const XPathCompPtr compiled(xmlXPathCompile(ToXmlChar(TranslateIndexesForXPath(sQuery))));
    if (!compiled) {
        throw DomError("the query cannot be read: " + sQuery);
    }
    if (tree.Root() == kNoNode) {
        throw DomError("the document has no root element");
    }
    if (!copy_ || copy_->revision != tree.Revision()) {
        copy_.reset(); // the stale copy goes before the new one takes its room
        copy_ = std::make_unique<Copy>(Copy{CopyTree(tree), tree.Revision()});
    }
    const XPathCtxtPtr context(xmlXPathNewContext(copy_->doc.get()));
    if (!context) {
        throw std::bad_alloc();
    }
    context->error = SilentStructured;
    context->node = xmlDocGetRootElement(copy_->doc.get());
    Result result{XPathObjectPtr(xmlXPathCompiledEval(compiled.get(), context.get()))};
    if (!result.object || result.object->type != XPATH_NODESET) {
        throw DomError("the query cannot be read: " + sQuery);
    }
    return result;
}

} // namespace qif2ldx::xml::libxml
