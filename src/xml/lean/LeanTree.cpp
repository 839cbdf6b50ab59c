// SPDX-License-Identifier: MIT
#include "xml/lean/LeanTree.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

namespace qif2ldx::xml::lean {
namespace {

// A text's length in the arena: seven bits a byte, the last byte without the high bit.
std::size_t PutLength(std::uint32_t length, char* out)
{
    std::size_t count = 0;
    while (length >= 0x80) {
        out[count++] = static_cast<char>((length & 0x7F) | 0x80);
        length >>= 7;
    }
    out[count++] = static_cast<char>(length);
    return count;
}

std::string_view GetText(const char* at)
{
    std::uint32_t length = 0;
    unsigned shift = 0;
    while (true) {
        const auto byte = static_cast<unsigned char>(*at++);
        length |= static_cast<std::uint32_t>(byte & 0x7F) << shift;
        if (byte < 0x80) {
            return {at, length};
        }
        shift += 7;
    }
}

} // namespace

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
    if (names_.size() == kMaxNames) {
        throw std::bad_alloc(); // no tree holds that many names
    }
    const auto name = static_cast<NameId>(names_.size());
    names_.emplace_back(sName);
    nameIds_.emplace(names_.back(), name);
    return name;
}

NodeId LeanTree::FirstAttribute(NodeId id) const
{
    return At(id).Has(kAttributes) ? firstAttributes_.at(id) : kNoNode;
}

NodeId LeanTree::Root() const
{
    NodeId child = At(kDocument).first;
    while (child != kNoNode && At(child).Kind() != NodeKind::Element) {
        child = At(child).next;
    }
    return child;
}

std::string_view LeanTree::Content(NodeId id) const
{
    const Node& holder = Holder(id);
    if (holder.first == kNoNode) {
        return {};
    }
    return GetText(textBlocks_[holder.first].get() + holder.last);
}

NodeId LeanTree::AppendElement(NodeId parent, NameId name)
{
    if (At(parent).Has(kKeepsText)) {
        GiveUpText(parent);
    }
    const NodeId id = NewNode(NodeKind::Element, parent);
    At(id).bits |= name << kNameShift;
    return id;
}

NodeId LeanTree::AppendLeaf(NodeId parent, NodeKind kind, std::string_view sText, NameId name)
{
    // The text is stored before anything is linked, so that running out of memory leaves the
    // tree as it was.
    const TextRef text = Store(sText);
    Node& container = At(parent);
    if (kind == NodeKind::Text && container.Kind() == NodeKind::Element &&
        container.first == kNoNode && !container.Has(kKeepsText)) {
        ++revision_;
        container.Set(kKeepsText);
        container.first = text.block;
        container.last = text.offset;
        return parent | kKeptTextBit;
    }
    if (container.Has(kKeepsText)) {
        GiveUpText(parent);
    }
    const NodeId id = NewNode(kind, parent);
    At(id).bits |= name << kNameShift;
    At(id).first = text.block;
    At(id).last = text.offset;
    return id;
}

void LeanTree::SetContent(NodeId id, std::string_view sText)
{
    const TextRef text = Store(sText);
    ++revision_;
    Node& holder = Holder(id);
    holder.first = text.block;
    holder.last = text.offset;
}

void LeanTree::Remove(NodeId id)
{
    ++revision_;
    if (IsKeptText(id)) {
        Node& element = At(ElementOf(id));
        element.Clear(kKeepsText);
        element.first = kNoNode;
        element.last = kNoNode;
        return;
    }
    Node& node = At(id);
    const bool bolAttribute = node.Kind() == NodeKind::Attribute;
    Node& parent = At(node.parent);
    NodeId before = kNoNode;
    for (NodeId sibling = bolAttribute ? FirstAttribute(node.parent) : parent.first; sibling != id;
         sibling = At(sibling).next) {
        before = sibling;
    }
    if (before != kNoNode) {
        At(before).next = node.next;
    } else if (!bolAttribute) {
        parent.first = node.next;
    } else if (node.next != kNoNode) {
        firstAttributes_[node.parent] = node.next;
    } else {
        firstAttributes_.erase(node.parent);
        parent.Clear(kAttributes);
    }
    if (!bolAttribute && parent.last == id) {
        parent.last = before;
    }
    node.next = kNoNode;
    Free(id);
}

void LeanTree::RemoveChildren(NodeId id)
{
    ++revision_;
    Node& node = At(id);
    NodeId child = node.Has(kKeepsText) ? kNoNode : node.first;
    node.Clear(kKeepsText);
    node.first = kNoNode;
    node.last = kNoNode;
    while (child != kNoNode) {
        const NodeId next = At(child).next;
        Free(child);
        child = next;
    }
}

NodeId LeanTree::FindAttribute(NodeId id, std::string_view sName) const
{
    const std::optional<NameId> name = FindName(sName);
    NodeId attribute = name ? FirstAttribute(id) : kNoNode;
    while (attribute != kNoNode && At(attribute).Name() != *name) {
        attribute = At(attribute).next;
    }
    return attribute;
}

NodeId LeanTree::SetAttribute(NodeId id, std::string_view sName, std::string_view sValue)
{
    const NodeId found = FindAttribute(id, sName);
    if (found != kNoNode) {
        SetContent(found, sValue);
        return found;
    }
    const NameId name = AddName(sName);
    const TextRef value = Store(sValue);
    firstAttributes_.reserve(firstAttributes_.size() + 1);
    const NodeId attribute = NewNode(NodeKind::Attribute, kNoNode);
    Node& node = At(attribute);
    node.bits |= name << kNameShift;
    node.parent = id;
    node.first = value.block;
    node.last = value.offset;
    NodeId last = FirstAttribute(id);
    if (last == kNoNode) {
        firstAttributes_[id] = attribute;
        At(id).Set(kAttributes);
        return attribute;
    }
    while (At(last).next != kNoNode) {
        last = At(last).next;
    }
    At(last).next = attribute;
    return attribute;
}

NodeRef LeanTree::Ref(NodeId id) const
{
    if (id == kNoNode) {
        return nullptr;
    }
    // The handle is the node's own address (nodes never move while they are in the tree); the
    // text an element keeps is the address of the element's second byte.
    const char* address = reinterpret_cast<const char*>(&At(IsKeptText(id) ? ElementOf(id) : id));
    return reinterpret_cast<NodeRef>(const_cast<char*>(address + (IsKeptText(id) ? 1 : 0)));
}

NodeId LeanTree::IdOf(NodeRef ref)
{
    if (ref == nullptr) {
        return kNoNode;
    }
    const auto* address = reinterpret_cast<const char*>(ref);
    const bool bolKeptText = (reinterpret_cast<std::uintptr_t>(address) & 1) != 0;
    if (bolKeptText) {
        --address;
    }
    const std::size_t offset = reinterpret_cast<std::uintptr_t>(address) & (kBlockRoom - 1);
    NodeId block = 0;
    std::memcpy(&block, address - offset, sizeof block);
    const auto id =
        static_cast<NodeId>((block << kBlockBits) | ((offset - kBlockHeader) / sizeof(Node)));
    return bolKeptText ? id | kKeptTextBit : id;
}

NodeId LeanTree::NewNode(NodeKind kind, NodeId parent)
{
    NodeId id = freeList_;
    if (id != kNoNode) {
        freeList_ = At(id).next;
    } else {
        if (used_ == kKeptTextBit) {
            throw std::bad_alloc(); // every number is taken
        }
        if ((used_ & (kBlockNodes - 1)) == 0) {
            AddBlock();
        }
        id = used_++;
    }
    ++revision_;
    Node* node = &At(id);
    new (node) Node{kNoNode, kNoNode, kNoNode, kNoNode, static_cast<std::uint32_t>(kind)};
    if (parent != kNoNode) {
        Link(parent, id);
    }
    return id;
}

void LeanTree::AddBlock()
{
    // The nodes are left uninitialised: the kernel hands out the pages as each is first
    // written.
    blocks_.reserve(blocks_.size() + 1);
    nodes_.reserve(nodes_.size() + 1);
    std::unique_ptr<char, BlockDeleter> block(static_cast<char*>(
        ::operator new (kBlockHeader + kBlockNodes * sizeof(Node), std::align_val_t{kBlockRoom})));
    const auto number = static_cast<NodeId>(blocks_.size());
    std::memcpy(block.get(), &number, sizeof number);
    blocks_.push_back(std::move(block));
    nodes_.push_back(reinterpret_cast<Node*>(blocks_.back().get() + kBlockHeader));
}

void LeanTree::BlockDeleter::operator()(char* block) const
{
    ::operator delete (block, std::align_val_t{kBlockRoom});
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

void LeanTree::GiveUpText(NodeId element)
{
    const NodeId text = NewNode(NodeKind::Text, kNoNode);
    Node& holder = At(element);
    At(text).first = holder.first;
    At(text).last = holder.last;
    At(text).parent = element;
    holder.Clear(kKeepsText);
    holder.first = text;
    holder.last = text;
}

LeanTree::TextRef LeanTree::Store(std::string_view sText)
{
    if (sText.empty()) {
        return {kNoNode, 0};
    }
    if (sText.size() > std::numeric_limits<std::uint32_t>::max()) {
        throw std::bad_alloc(); // no text node holds that much
    }
    const std::size_t size = sText.size() + 5; // the length takes at most five bytes
    // Texts of up to an eighth of a block share blocks; a larger one gets a block of its own.
    if (size > kTextBlock / 8) {
        textBlocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
        char* at = textBlocks_.back().get();
        std::memcpy(at + PutLength(static_cast<std::uint32_t>(sText.size()), at), sText.data(),
                    sText.size());
        return {static_cast<NodeId>(textBlocks_.size() - 1), 0};
    }
    if (textUsed_ + size > kTextBlock) {
        textBlocks_.push_back(std::make_unique_for_overwrite<char[]>(kTextBlock));
        textBlock_ = textBlocks_.size() - 1;
        textUsed_ = 0;
    }
    char* at = textBlocks_[textBlock_].get() + textUsed_;
    const std::size_t prefix = PutLength(static_cast<std::uint32_t>(sText.size()), at);
    std::memcpy(at + prefix, sText.data(), sText.size());
    const TextRef text{static_cast<NodeId>(textBlock_), static_cast<NodeId>(textUsed_)};
    textUsed_ += prefix + sText.size();
    return text;
}

void LeanTree::Free(NodeId id)
{
    std::vector<NodeId> pending{id};
    while (!pending.empty()) {
        const NodeId current = pending.back();
        pending.pop_back();
        Node& node = At(current);
        const bool bolChildren = node.Kind() == NodeKind::Element && !node.Has(kKeepsText);
        for (NodeId child = bolChildren ? node.first : kNoNode; child != kNoNode;
             child = At(child).next) {
            pending.push_back(child);
        }
        if (node.Has(kAttributes)) {
            for (NodeId attribute = firstAttributes_.at(current); attribute != kNoNode;
                 attribute = At(attribute).next) {
                pending.push_back(attribute);
            }
            firstAttributes_.erase(current);
        }
        node.bits = static_cast<std::uint32_t>(NodeKind::Free);
        node.next = freeList_;
        freeList_ = current;
    }
}

} // namespace qif2ldx::xml::lean
