// SPDX-License-Identifier: MIT
#include "xml/DomDocument.h"

#include "platform/File.h"
#include "xml/dom/DomError.h"
#include "xml/dom/TextRules.h"
#include "xml/lean/LeanPaths.h"
#include "xml/lean/LeanTree.h"
#include "xml/lean/LeanWriter.h"
#include "xml/libxml/LibXmlDocument.h"
#include "xml/libxml/NameRules.h"

#include <algorithm>
#include <array>
#include <climits>
#include <vector>

namespace qif2ldx::xml {

using lean::kNoNode;
using lean::LeanTree;
using lean::NodeId;
using lean::NodeKind;

// The lean document: its tree, the plain paths over it, and the element names already found
// valid (a name that a loaded document brought is checked when the DOM first uses it), the last
// few of them at hand: a statement uses a few dozen names millions of times.
class DomDocument::Lean
{
public:
    LeanTree tree;
    lean::LeanPaths paths{tree};

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

    [[nodiscard]] bool IsElement(NodeRef objNode) const
    {
        return objNode != nullptr && tree.Kind(LeanTree::IdOf(objNode)) == NodeKind::Element;
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

bool DomDocument::Load(const std::string& strFileName)
{
    lean_.reset();
    full_.reset();
    auto objLoaded = std::make_unique<LibXmlDocument>();
    objLoaded->SetValidateOnParse(bolValidate_);
    const bool bolLoaded = objLoaded->Load(strFileName);
    return Adopt(std::move(objLoaded), bolLoaded);
}

bool DomDocument::LoadXML(const std::string& strSource)
{
    lean_.reset();
    full_.reset();
    auto objLoaded = std::make_unique<LibXmlDocument>();
    objLoaded->SetValidateOnParse(bolValidate_);
    const bool bolLoaded = objLoaded->LoadXML(strSource);
    return Adopt(std::move(objLoaded), bolLoaded);
}

DomParseError DomDocument::ParseError() const
{
    return error_;
}

bool DomDocument::Save(const std::string& strFileName)
{
    if (full_) {
        return full_->Save(strFileName);
    }
    if (!lean_) {
        return false;
    }
    platform::Result<platform::UniqueFd> file = platform::OpenForWriting(strFileName);
    if (!file) {
        return false;
    }
    const bool bolWritten = static_cast<bool>(lean::WriteFile(lean_->tree, file.value.Get()));
    return file.value.Reset() && bolWritten;
}

platform::Done DomDocument::SaveTo(int fd)
{
    if (full_) {
        return full_->SaveTo(fd);
    }
    if (!lean_) {
        return {{platform::ReasonKind::Other, 0}};
    }
    return lean::WriteFile(lean_->tree, fd);
}

std::string DomDocument::Xml() const
{
    if (full_) {
        return full_->Xml();
    }
    return lean::WriteText(Held().tree, LeanTree::kDocument);
}

std::optional<std::string> DomDocument::DeclarationAttribute(const std::string& strName) const
{
    if (full_) {
        return full_->DeclarationAttribute(strName);
    }
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
    if (full_) {
        return full_->DocumentElement();
    }
    return lean_ ? lean_->tree.Ref(lean_->tree.Root()) : nullptr;
}

NodeRef DomDocument::SelectSingleNode(const std::string& strQuery)
{
    if (full_) {
        return full_->SelectSingleNode(strQuery);
    }
    Lean& held = Held();
    if (lean::LeanPaths::Query* query = held.paths.Parse(strQuery)) {
        return held.tree.Ref(held.paths.First(*query));
    }
    Promote(strQuery);
    return full_->SelectSingleNode(strQuery);
}

std::int32_t DomDocument::SelectNodesLength(const std::string& strQuery)
{
    if (full_) {
        return full_->SelectNodesLength(strQuery);
    }
    Lean& held = Held();
    if (lean::LeanPaths::Query* query = held.paths.Parse(strQuery)) {
        return static_cast<std::int32_t>(
            std::min<std::int64_t>(held.paths.Count(*query), INT32_MAX));
    }
    Promote(strQuery);
    return full_->SelectNodesLength(strQuery);
}

NodeRef DomDocument::ParentNode(NodeRef objNode) const
{
    if (full_) {
        return full_->ParentNode(objNode);
    }
    if (!lean_ || objNode == nullptr) {
        return nullptr;
    }
    const NodeId id = LeanTree::IdOf(objNode);
    return lean_->tree.Kind(id) == NodeKind::Document ? nullptr
                                                      : lean_->tree.Ref(lean_->tree.Parent(id));
}

NodeRef DomDocument::AppendElement(NodeRef objParent, const std::string& strName,
                                   const std::optional<std::string>& vntText)
{
    if (full_) {
        return full_->AppendElement(objParent, strName, vntText);
    }
    Lean& held = Held();
    if (objParent == nullptr) {
        throw DomError("no parent to append to");
    }
    const NodeId parent = LeanTree::IdOf(objParent);
    if (held.tree.Kind(parent) == NodeKind::Document) {
        if (held.tree.Root() != kNoNode) {
            throw DomError("a document holds only one root element");
        }
    } else if (held.tree.Kind(parent) != NodeKind::Element) {
        throw DomError("only elements hold child elements");
    }
    const lean::NameId name = held.ElementName(strName);
    std::string storage;
    const std::string_view text = vntText ? StoredText(*vntText, storage) : "";
    const NodeId element = held.paths.AppendElement(parent, name);
    if (!text.empty()) {
        static_cast<void>(held.tree.AppendText(element, NodeKind::Text, text));
    }
    return held.tree.Ref(element);
}

void DomDocument::AppendCData(NodeRef objParent, const std::string& strValue)
{
    if (full_) {
        full_->AppendCData(objParent, strValue);
        return;
    }
    Lean& held = Held();
    if (!held.IsElement(objParent)) {
        throw DomError("only elements hold CDATA sections");
    }
    std::string storage;
    const std::string_view value = StoredText(strValue, storage);
    static_cast<void>(held.tree.AppendText(LeanTree::IdOf(objParent), NodeKind::CData, value));
}

void DomDocument::RemoveChild(NodeRef objParent, NodeRef objChild)
{
    if (full_) {
        full_->RemoveChild(objParent, objChild);
        return;
    }
    Lean& held = Held();
    const NodeId parent = LeanTree::IdOf(objParent);
    const NodeId child = LeanTree::IdOf(objChild);
    if (parent == kNoNode || child == kNoNode || held.tree.Parent(child) != parent) {
        throw DomError("not a child of that node");
    }
    held.paths.Remove(child);
}

std::string DomDocument::Text(NodeRef objNode) const
{
    if (full_) {
        return full_->Text(objNode);
    }
    const LeanTree& tree = Held().tree;
    const NodeId top = LeanTree::IdOf(objNode);
    if (top == kNoNode) {
        return {};
    }
    if (tree.Kind(top) == NodeKind::Text || tree.Kind(top) == NodeKind::CData) {
        return std::string(tree.Content(top));
    }
    // Every text and CDATA section below the node, in document order.
    std::string text;
    NodeId node = tree.FirstChild(top);
    while (node != kNoNode) {
        if (tree.Kind(node) == NodeKind::Element && tree.FirstChild(node) != kNoNode) {
            node = tree.FirstChild(node);
            continue;
        }
        if (tree.Kind(node) != NodeKind::Element) {
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
    if (full_) {
        full_->SetText(objNode, strText);
        return;
    }
    Lean& held = Held();
    const NodeId id = held.Node(objNode);
    std::string storage;
    const std::string_view clean = StoredText(strText, storage);
    switch (held.tree.Kind(id)) {
    case NodeKind::Element:
        held.paths.RemoveChildren(id);
        if (!clean.empty()) {
            static_cast<void>(held.tree.AppendText(id, NodeKind::Text, clean));
        }
        return;
    case NodeKind::Text:
    case NodeKind::CData:
        held.tree.SetContent(id, clean);
        return;
    default:
        throw DomError("this node holds no text of its own");
    }
}

std::string DomDocument::NodeXml(NodeRef objNode) const
{
    if (full_) {
        return full_->NodeXml(objNode);
    }
    const Lean& held = Held();
    return lean::WriteText(held.tree, held.Node(objNode));
}

std::string DomDocument::NodeTypeString(NodeRef objNode) const
{
    if (full_) {
        return full_->NodeTypeString(objNode);
    }
    const Lean& held = Held();
    switch (held.tree.Kind(held.Node(objNode))) {
    case NodeKind::Document:
        return "document";
    case NodeKind::Element:
        return "element";
    case NodeKind::Text:
        return "text";
    case NodeKind::CData:
        return "cdatasection";
    default:
        return "";
    }
}

std::int32_t DomDocument::ChildCount(NodeRef objNode) const
{
    if (full_) {
        return full_->ChildCount(objNode);
    }
    const LeanTree& tree = Held().tree;
    std::int32_t count = 0;
    for (NodeId child = tree.FirstChild(Held().Node(objNode));
         child != kNoNode && count < INT32_MAX; child = tree.Next(child)) {
        ++count;
    }
    return count;
}

NodeRef DomDocument::FirstChild(NodeRef objNode) const
{
    if (full_) {
        return full_->FirstChild(objNode);
    }
    const Lean& held = Held();
    return held.tree.Ref(held.tree.FirstChild(held.Node(objNode)));
}

std::optional<std::string> DomDocument::GetAttribute(NodeRef objNode,
                                                     const std::string& strName) const
{
    if (full_) {
        return full_->GetAttribute(objNode, strName);
    }
    if (!lean_ || !lean_->IsElement(objNode)) {
        throw DomError("only elements have attributes");
    }
    if (const auto* attributes = lean_->tree.Attributes(LeanTree::IdOf(objNode))) {
        for (const lean::Attribute& attribute : *attributes) {
            if (attribute.sName == strName) {
                return attribute.sValue;
            }
        }
    }
    return std::nullopt;
}

void DomDocument::SetAttribute(NodeRef objNode, const std::string& strName,
                               const std::string& strValue)
{
    if (full_) {
        full_->SetAttribute(objNode, strName, strValue);
        return;
    }
    Lean& held = Held();
    if (!held.IsElement(objNode)) {
        throw DomError("only elements have attributes");
    }
    libxml::CheckName(strName);
    std::string storage;
    held.tree.SetAttribute(LeanTree::IdOf(objNode), strName, StoredText(strValue, storage));
}

void DomDocument::RemoveAttribute(NodeRef objNode, const std::string& strName)
{
    if (full_) {
        full_->RemoveAttribute(objNode, strName);
        return;
    }
    Lean& held = Held();
    if (!held.IsElement(objNode)) {
        throw DomError("only elements have attributes");
    }
    held.tree.RemoveAttribute(LeanTree::IdOf(objNode), strName);
}

bool DomDocument::Adopt(std::unique_ptr<LibXmlDocument> objLoaded, bool bolLoaded)
{
    if (!bolLoaded) {
        error_ = objLoaded->ParseError();
        return false;
    }
    error_ = {};
    auto objLean = std::make_unique<Lean>();
    if (objLoaded->MoveTo(objLean->tree)) {
        lean_ = std::move(objLean);
    } else {
        full_ = std::move(objLoaded);
    }
    return true;
}

DomDocument::Lean& DomDocument::Held() const
{
    if (!lean_) {
        throw DomError("no document loaded");
    }
    return *lean_;
}

void DomDocument::Promote(const std::string& strQuery)
{
    // A query that XPath cannot read either is refused here: the document stays lean.
    if (!LibXmlDocument::CanRead(strQuery)) {
        throw DomError("the query cannot be read: " + strQuery);
    }
    full_ = std::make_unique<LibXmlDocument>(lean_->tree);
    lean_.reset();
}

} // namespace qif2ldx::xml
