// SPDX-License-Identifier: MIT
#include "xml/lean/LeanTree.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace qif2ldx::xml::lean {

LeanTree::LeanTree()
{
    static_cast<void>(NewNode(NodeKind::Document, kNoNode));
}

std::optional<NameId> LeanTree::FindName(std::string_view sName) const
{
    const auto found = nameIds_.find(sName);
    if (found == nameIds_.end()) {
        return std::nullopt;
    }
    return found->second;
}

NameId LeanTree::AddName(std::string_view sName)
{
    if (const std::optional<NameId> known = FindName(sName)) {
        return *known;
    }
    const auto name = static_cast<NameId>(names_.size());
    names_.emplace_back(sName);
    nameIds_.emplace(names_.back(), name);
    return name;
}

std::string_view LeanTree::Content(NodeId id) const
{
    const Node& node = At(id);
    if (node.data == 0) {
        return {};
    }
    return {textBlocks_[node.first].get() + node.last, node.data};
}

NodeId LeanTree::AppendElement(NodeId parent, NameId name)
{
    const NodeId id = NewNode(NodeKind::Element, parent);
    At(id).data = name;
    return id;
}

NodeId LeanTree::AppendText(NodeId parent, NodeKind kind, std::string_view sText)
{
    // The text is stored before the node is linked, so that running out of memory leaves the
    // tree as it was.
    Node content{};
    Store(content, sText);
    const NodeId id = NewNode(kind, parent);
    Node& node = At(id);
    node.first = content.first;
    node.last = content.last;
    node.data = content.data;
    return id;
}

void LeanTree::SetContent(NodeId id, std::string_view sText)
{
    Store(At(id), sText);
}

void LeanTree::Remove(NodeId id)
{
    Node& node = At(id);
    Node& parent = At(node.parent);
    NodeId before = kNoNode;
    for (NodeId child = parent.first; child != id; child = At(child).next) {
        before = child;
    }
    if (before == kNoNode) {
        parent.first = node.next;
    } else {
        At(before).next = node.next;
    }
    if (parent.last == id) {
        parent.last = before;
    }
    Free(id);
}

void LeanTree::RemoveChildren(NodeId id)
{
    Node& node = At(id);
    NodeId child = node.first;
    node.first = kNoNode;
    node.last = kNoNode;
    while (child != kNoNode) {
        const NodeId next = At(child).next;
        Free(child);
        child = next;
    }
}

const std::vector<Attribute>* LeanTree::Attributes(NodeId id) const
{
    if (!At(id).bolAttributes) {
        return nullptr;
    }
    return &attributes_.at(id);
}

void LeanTree::SetAttribute(NodeId id, std::string_view sName, std::string_view sValue)
{
    std::vector<Attribute>& list = attributes_[id];
    At(id).bolAttributes = true;
    const auto found = std::find_if(list.begin(), list.end(),
                                    [sName](const Attribute& item) { return item.sName == sName; });
    if (found != list.end()) {
        found->sValue.assign(sValue);
        return;
    }
    list.push_back({std::string(sName), std::string(sValue)});
}

void LeanTree::RemoveAttribute(NodeId id, std::string_view sName)
{
    if (!At(id).bolAttributes) {
        return;
    }
    std::vector<Attribute>& list = attributes_.at(id);
    const auto found = std::find_if(list.begin(), list.end(),
                                    [sName](const Attribute& item) { return item.sName == sName; });
    if (found != list.end()) {
        list.erase(found);
    }
    if (list.empty()) {
        attributes_.erase(id);
        At(id).bolAttributes = false;
    }
}

NodeRef LeanTree::Ref(NodeId id) const
{
    if (id == kNoNode) {
        return nullptr;
    }
    // The handle is the node's own address: nodes never move while they are in the tree.
    return reinterpret_cast<NodeRef>(const_cast<Node*>(&At(id)));
}

NodeId LeanTree::IdOf(NodeRef ref)
{
    return ref == nullptr ? kNoNode : reinterpret_cast<const Node*>(ref)->self;
}

NodeId LeanTree::NewNode(NodeKind kind, NodeId parent)
{
    NodeId id = freeList_;
    if (id != kNoNode) {
        freeList_ = At(id).next;
    } else {
        if (used_ == kNoNode) {
            throw std::bad_alloc(); // every number is taken
        }
        if ((used_ & (kBlockNodes - 1)) == 0) {
            // Left uninitialised: the kernel hands out the pages as each is first written.
            blocks_.push_back(std::make_unique_for_overwrite<Node[]>(kBlockNodes));
        }
        id = used_++;
    }
    At(id) = Node{id, kNoNode, kNoNode, kNoNode, kNoNode, 0, kind, false};
    if (parent != kNoNode) {
        Link(parent, id);
    }
    return id;
}

void LeanTree::Link(NodeId parent, NodeId child)
{
    Node& container = At(parent);
    At(child).parent = parent;
    if (container.last == kNoNode) {
        container.first = child;
    } else {
        At(container.last).next = child;
    }
    container.last = child;
}

void LeanTree::Store(Node& node, std::string_view sText)
{
    if (sText.size() > std::numeric_limits<std::uint32_t>::max()) {
        throw std::bad_alloc(); // no text node holds that much
    }
    if (sText.empty()) {
        node.first = 0;
        node.last = 0;
        node.data = 0;
        return;
    }
    // Texts of up to an eighth of a block share blocks; a larger one gets a block of its own.
    std::size_t block = textBlock_;
    if (sText.size() > kTextBlock / 8) {
        textBlocks_.push_back(std::make_unique_for_overwrite<char[]>(sText.size()));
        block = textBlocks_.size() - 1;
        std::memcpy(textBlocks_[block].get(), sText.data(), sText.size());
        node.last = 0;
    } else {
        if (textUsed_ + sText.size() > kTextBlock) {
            textBlocks_.push_back(std::make_unique_for_overwrite<char[]>(kTextBlock));
            textBlock_ = textBlocks_.size() - 1;
            textUsed_ = 0;
            block = textBlock_;
        }
        std::memcpy(textBlocks_[block].get() + textUsed_, sText.data(), sText.size());
        node.last = static_cast<NodeId>(textUsed_);
        textUsed_ += sText.size();
    }
    node.first = static_cast<NodeId>(block);
    node.data = static_cast<std::uint32_t>(sText.size());
}

void LeanTree::Free(NodeId id)
{
    std::vector<NodeId> pending{id};
    while (!pending.empty()) {
        const NodeId current = pending.back();
        pending.pop_back();
        Node& node = At(current);
        if (node.kind == NodeKind::Element || node.kind == NodeKind::Document) {
            for (NodeId child = node.first; child != kNoNode; child = At(child).next) {
                pending.push_back(child);
            }
        }
        if (node.bolAttributes) {
            attributes_.erase(current);
        }
        node.kind = NodeKind::Free;
        node.bolAttributes = false;
        node.next = freeList_;
        freeList_ = current;
    }
}

} // namespace qif2ldx::xml::lean
