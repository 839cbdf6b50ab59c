// SPDX-License-Identifier: MIT
#include "xml/DomDocument.h"

#include "platform/File.h"
#include "xml/dom/DomError.h"
#include "xml/dom/TextRules.h"
#include "xml/lean/LeanPaths.h"
#include "xml/lean/LeanTree.h"
#include "xml/lean/LeanWriter.h"
#include "xml/libxml/Loader.h"
#include "xml/libxml/NameRules.h"
#include "xml/libxml/XPathView.h"

#include <algorithm>
#include <array>
#include <climits>
#include <vector>

namespace qif2ldx::xml {

using lean::kNoNode;
using lean::LeanTree;
using lean::NodeId;
using lean::NodeKind;

// The lean document: its tree, the plain paths and XPath over it, and the element names already
// found valid (a name that a loaded document brought is checked when the DOM first uses it), the
// last few of them at hand: a statement uses a few dozen names millions of times.
class DomDocument::Lean
{
public:
    LeanTree tree;
    lean::LeanPaths paths{tree};
    libxml::XPathView xpath;

    // The number of a valid element name; throws DomError for an invalid one.
    lean::NameId ElementName(const std::string& strName)
    {
        for (const auto& [sName, name] : recent_) {
            if (sName == strName && !sName.empty()) { // an empty slot holds no name
                return name;
            }
        }
        const lean::NameId name = CheckedName(strName);
        recent_[nextRecent_] = {strName, name};
        nextRecent_ = (nextRecent_ + 1) % recent_.size();
        return name;
    }

    // The node of a handle; throws DomError for none.
    [[nodiscard]] NodeId Node(NodeRef objNode) const
    {
        const NodeId id = LeanTree::IdOf(objNode);
        if (id == kNoNode) {
            throw DomError("no node");
        }
        return id;
    }

    // The element of a handle; throws DomError, saying why, for anything else.
    [[nodiscard]] NodeId Element(NodeRef objNode, const char* sWhy) const
    {
        const NodeId id = LeanTree::IdOf(objNode);
        if (id == kNoNode || tree.Kind(id) != NodeKind::Element) {
            throw DomError(sWhy);
        }
        return id;
    }

private:
    lean::NameId CheckedName(const std::string& strName)
    {
        const std::optional<lean::NameId> known = tree.FindName(strName);
        if (known && *known < checked_.size() && checked_[*known]) {
            return *known;
        }
        libxml::CheckName(strName);
        const lean::NameId name = tree.AddName(strName);
        if (checked_.size() <= name) {
            checked_.resize(name + 1, false);
        }
        checked_[name] = true;
        return name;
    }

    std::vector<bool> checked_;
    std::array<std::pair<std::string, lean::NameId>, 8> recent_;
    std::size_t nextRecent_ = 0;
};

DomDocument::DomDocument() = default;

DomDocument::~DomDocument() = default;

void DomDocument::SetResolveExternals(bool /*bolValue*/)
{
    // External resources are never read, whatever the caller asks for.
}

void DomDocument::SetValidateOnParse(bool bolValue)
{
    bolValidate_ = bolValue;
}

void DomDocument::SetAsync(bool /*bolValue*/)
{
    // Loading is always synchronous.
}

template <class Loader> bool DomDocument::LoadWith(const Loader& load)
{
    lean_.reset();
    auto loaded = std::make_unique<Lean>();
    const std::optional<DomParseError> failure = load(loaded->tree);
    error_ = failure.value_or(DomParseError{});
    if (failure) {
        return false;
    }
    lean_ = std::move(loaded);
    return true;
}

bool DomDocument::Load(const std::string& strFileName)
{
    return LoadWith(
        [&](LeanTree& tree) { return libxml::LoadFileInto(strFileName, bolValidate_, tree); });
}

bool DomDocument::LoadXML(const std::string& strSource)
{
    return LoadWith(
        [&](LeanTree& tree) { return libxml::ParseInto(strSource, "", true, bolValidate_, tree); });
}

DomParseError DomDocument::ParseError() const
{
    return error_;
}

bool DomDocument::Save(const std::string& strFileName, const std::string& strEncoding)
{
    if (!lean_ || !lean::FindCharset(strEncoding)) {
        return false; // checked before the file is opened, which would empty it
    }
    platform::Result<platform::UniqueFd> file = platform::OpenForWriting(strFileName);
    return file && SaveTo(file.value.Get(), strEncoding) && file.value.Reset();
}

platform::Done DomDocument::SaveTo(int fd, const std::string& strEncoding)
{
    const std::optional<lean::Charset> charset = lean::FindCharset(strEncoding);
    if (!lean_ || !charset) {
        return {{platform::ReasonKind::Other, 0}};
    }
    return lean::WriteFile(lean_->tree, fd, *charset);
}

std::string DomDocument::Xml() const
{
    return lean::WriteText(Loaded().tree, LeanTree::kDocument);
}

std::optional<std::string> DomDocument::DeclarationAttribute(const std::string& strName) const
{
    if (!lean_ || lean_->tree.Facts().lngStandalone == -1) {
        return std::nullopt;
    }
    const lean::DocumentFacts& facts = lean_->tree.Facts();
    if (strName == "version") {
        return facts.sVersion;
    }
    if (strName == "encoding") {
        return facts.vntDeclaredEncoding;
    }
    if (strName == "standalone" && facts.lngStandalone >= 0) {
        return facts.lngStandalone == 1 ? "yes" : "no";
    }
    return std::nullopt;
}

NodeRef DomDocument::DocumentElement() const
{
    return lean_ ? lean_->tree.Ref(lean_->tree.Root()) : nullptr;
}

NodeRef DomDocument::SelectSingleNode(const std::string& strQuery)
{
    Lean& doc = Loaded();
    if (lean::LeanPaths::Query* query = doc.paths.Parse(strQuery)) {
        return doc.tree.Ref(doc.paths.First(*query));
    }
    return doc.xpath.First(doc.tree, strQuery);
}

std::int32_t DomDocument::SelectNodesLength(const std::string& strQuery)
{
    Lean& doc = Loaded();
    lean::LeanPaths::Query* query = doc.paths.Parse(strQuery);
    const std::int64_t count =
        query != nullptr ? doc.paths.Count(*query) : doc.xpath.Count(doc.tree, strQuery);
    return static_cast<std::int32_t>(std::min<std::int64_t>(count, INT32_MAX));
}

NodeRef DomDocument::ParentNode(NodeRef objNode) const
{
    if (!lean_ || objNode == nullptr) {
        return nullptr;
    }
    const NodeId id = LeanTree::IdOf(objNode);
    const NodeKind kind = lean_->tree.Kind(id);
    return kind == NodeKind::Document || kind == NodeKind::Attribute
               ? nullptr
               : lean_->tree.Ref(lean_->tree.Parent(id));
}

NodeRef DomDocument::AppendElement(NodeRef objParent, const std::string& strName,
                                   const std::optional<std::string>& vntText)
{
    Lean& doc = Loaded();
    const NodeId parent = LeanTree::IdOf(objParent);
    if (parent == LeanTree::kDocument) {
        if (doc.tree.Root() != kNoNode) {
            throw DomError("a document holds only one root element");
        }
    } else {
        static_cast<void>(doc.Element(objParent, "only elements hold child elements"));
    }
    const lean::NameId name = doc.ElementName(strName);
    std::string storage;
    const std::string_view text = vntText ? StoredText(*vntText, storage) : "";
    const NodeId element = doc.paths.AppendElement(parent, name);
    if (!text.empty()) {
        doc.tree.AppendLeaf(element, NodeKind::Text, text);
    }
    return doc.tree.Ref(element);
}

void DomDocument::AppendCData(NodeRef objParent, const std::string& strValue)
{
    Lean& doc = Loaded();
    const NodeId parent = doc.Element(objParent, "only elements hold CDATA sections");
    std::string storage;
    doc.tree.AppendLeaf(parent, NodeKind::CData, StoredText(strValue, storage));
}

void DomDocument::RemoveChild(NodeRef objParent, NodeRef objChild)
{
    Lean& doc = Loaded();
    const NodeId parent = LeanTree::IdOf(objParent);
    const NodeId child = LeanTree::IdOf(objChild);
    if (parent == kNoNode || child == kNoNode || doc.tree.Kind(child) == NodeKind::Attribute ||
        doc.tree.Parent(child) != parent) {
        throw DomError("not a child of that node");
    }
    doc.paths.Remove(child);
}

std::string DomDocument::Text(NodeRef objNode) const
{
    const LeanTree& tree = Loaded().tree;
    const NodeId top = LeanTree::IdOf(objNode);
    if (top == kNoNode) {
        return {};
    }
    const auto isText = [&tree](NodeId node) {
        const NodeKind kind = tree.Kind(node);
        return kind == NodeKind::Text || kind == NodeKind::CData ||
               kind == NodeKind::EntityReference;
    };
    switch (tree.Kind(top)) {
    case NodeKind::Element:
    case NodeKind::Document:
        break;
    case NodeKind::DocumentType:
    case NodeKind::Free:
        return {};
    default:
        return std::string(tree.Content(top));
    }
    // Every text below the node, in document order.
    std::string text;
    NodeId node = tree.FirstChild(top);
    while (node != kNoNode) {
        if (tree.FirstChild(node) != kNoNode) {
            node = tree.FirstChild(node);
            continue;
        }
        if (isText(node)) {
            text.append(tree.Content(node));
        }
        while (node != top && tree.Next(node) == kNoNode) {
            node = tree.Parent(node);
        }
        node = node == top ? kNoNode : tree.Next(node);
    }
    return text;
}

void DomDocument::SetText(NodeRef objNode, const std::string& strText)
{
    Lean& doc = Loaded();
    const NodeId id = doc.Node(objNode);
    std::string storage;
    const std::string_view clean = StoredText(strText, storage);
    switch (doc.tree.Kind(id)) {
    case NodeKind::Element:
        doc.paths.RemoveChildren(id);
        if (!clean.empty()) {
            doc.tree.AppendLeaf(id, NodeKind::Text, clean);
        }
        return;
    case NodeKind::Comment:
        if (clean.find("--") != std::string_view::npos || clean.ends_with('-')) {
            throw DomError("a comment cannot hold \"--\"");
        }
        break;
    case NodeKind::ProcessingInstruction:
        if (clean.find("?>") != std::string_view::npos) {
            throw DomError("a processing instruction cannot hold \"?>\"");
        }
        break;
    case NodeKind::Text:
    case NodeKind::CData:
    case NodeKind::Attribute:
        break;
    default:
        throw DomError("this node holds no text of its own");
    }
    doc.tree.SetContent(id, clean);
}

std::string DomDocument::NodeXml(NodeRef objNode) const
{
    const Lean& doc = Loaded();
    return lean::WriteText(doc.tree, doc.Node(objNode));
}

std::string DomDocument::NodeTypeString(NodeRef objNode) const
{
    const Lean& doc = Loaded();
    switch (doc.tree.Kind(doc.Node(objNode))) {
    case NodeKind::Document:
        return "document";
    case NodeKind::Element:
        return "element";
    case NodeKind::Text:
        return "text";
    case NodeKind::CData:
        return "cdatasection";
    case NodeKind::Comment:
        return "comment";
    case NodeKind::ProcessingInstruction:
        return "processinginstruction";
    case NodeKind::DocumentType:
        return "documenttype";
    case NodeKind::EntityReference:
        return "entityreference";
    case NodeKind::Attribute:
        return "attribute";
    default:
        return "";
    }
}

std::int32_t DomDocument::ChildCount(NodeRef objNode) const
{
    const Lean& doc = Loaded();
    std::int32_t count = 0;
    for (NodeId child = doc.tree.FirstChild(doc.Node(objNode));
         child != kNoNode && count < INT32_MAX; child = doc.tree.Next(child)) {
        ++count;
    }
    return count;
}

NodeRef DomDocument::FirstChild(NodeRef objNode) const
{
    const Lean& doc = Loaded();
    return doc.tree.Ref(doc.tree.FirstChild(doc.Node(objNode)));
}

std::optional<std::string> DomDocument::GetAttribute(NodeRef objNode,
                                                     const std::string& strName) const
{
    const Lean& doc = Loaded();
    const NodeId element = doc.Element(objNode, "only elements have attributes");
    const NodeId attribute = doc.tree.FindAttribute(element, strName);
    if (attribute == kNoNode) {
        // The value that the document type gives an element without one, if any.
        for (const lean::DocumentFacts::Default& declared : doc.tree.Facts().defaults) {
            if (declared.sName == strName &&
                declared.sElement == doc.tree.Name(doc.tree.NameOf(element))) {
                return declared.sValue;
            }
        }
        return std::nullopt;
    }
    return std::string(doc.tree.Content(attribute));
}

void DomDocument::SetAttribute(NodeRef objNode, const std::string& strName,
                               const std::string& strValue)
{
    Lean& doc = Loaded();
    const NodeId element = doc.Element(objNode, "only elements have attributes");
    libxml::CheckName(strName);
    std::string storage;
    doc.tree.SetAttribute(element, strName, StoredText(strValue, storage));
}

void DomDocument::RemoveAttribute(NodeRef objNode, const std::string& strName)
{
    Lean& doc = Loaded();
    const NodeId attribute =
        doc.tree.FindAttribute(doc.Element(objNode, "only elements have attributes"), strName);
    if (attribute != kNoNode) {
        doc.tree.Remove(attribute);
    }
}

DomDocument::Lean& DomDocument::Loaded() const
{
    if (!lean_) {
        throw DomError("no document loaded");
    }
    return *lean_;
}

} // namespace qif2ldx::xml
