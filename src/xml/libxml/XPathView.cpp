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
    xmlNode* root = nullptr;
    std::uint64_t revision = 0;
};

struct XPathView::Result
{
    XPathObjectPtr object;

    [[nodiscard]] const xmlNodeSet* Nodes() const { return object->nodesetval; }
};

namespace {

// The node's copy, its attributes with it, pointing back to it; nullptr for the document type,
// which XPath never selects.
xmlNode* NewNode(xmlDoc& doc, const LeanTree& tree, NodeId from)
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
    for (NodeId attribute = kind == NodeKind::Element ? tree.FirstAttribute(from) : kNoNode;
         attribute != kNoNode; attribute = tree.Next(attribute)) {
        xmlAttr* copy = xmlNewProp(node, ToXmlChar(tree.Name(tree.NameOf(attribute))),
                                   ToXmlChar(std::string(tree.Content(attribute))));
        if (copy == nullptr) {
            xmlFreeNode(node);
            throw std::bad_alloc();
        }
        copy->_private = tree.Ref(attribute);
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

// libxml2's copy of the tree; root becomes the copy of its root element.
DocPtr CopyTree(const LeanTree& tree, xmlNode*& root)
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
    const NodeId rootId = tree.Root();
    while (!pending.empty()) {
        const Pending next = pending.back();
        pending.pop_back();
        for (NodeId child = tree.FirstChild(next.from); child != kNoNode;
             child = tree.Next(child)) {
            xmlNode* node = NewNode(*doc, tree, child);
            if (node == nullptr) {
                continue;
            }
            Link(next.to, node);
            if (child == rootId) {
                root = node;
            }
            if (tree.FirstChild(child) != kNoNode) {
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
        copy_.reset();
        auto copy = std::make_unique<Copy>();
        copy->doc = CopyTree(tree, copy->root);
        copy->revision = tree.Revision();
        copy_ = std::move(copy);
    }
    const XPathCtxtPtr context(xmlXPathNewContext(copy_->doc.get()));
    if (!context) {
        throw std::bad_alloc();
    }
    context->error = SilentStructured;
    context->node = copy_->root;
    Result result{XPathObjectPtr(xmlXPathCompiledEval(compiled.get(), context.get()))};
    if (!result.object || result.object->type != XPATH_NODESET) {
        throw DomError("the query cannot be read: " + sQuery);
    }
    return result;
}

} // namespace qif2ldx::xml::libxml
