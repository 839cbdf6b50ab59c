// SPDX-License-Identifier: MIT
#pragma once

#include "xml/dom/IDomDocument.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qif2ldx::xml::lean {

// A node's number in its tree; kNoNode is none.
using NodeId = std::uint32_t;
inline constexpr NodeId kNoNode = std::numeric_limits<NodeId>::max();
// An element name's number in its tree's name table.
using NameId = std::uint32_t;

enum class NodeKind : std::uint8_t
{
    Document,
    Element,
    Text,
    CData,
    Free // a removed node, waiting to be reused
};

struct Attribute
{
    std::string sName;
    std::string sValue;
};

// What a loaded document said of itself, as the parser recorded it.
struct DocumentFacts
{
    std::string sVersion = "1.0";
    // -1: no XML declaration; -2: one without standalone; 0: standalone="no"; 1: "yes".
    std::int32_t lngStandalone = -1;
    // The encoding the parser recorded for the document; none for a file it read as UTF-8
    // without being told so. Decides how attribute values write characters beyond ASCII.
    std::optional<std::string> vntEncoding;
    // The encoding that the XML declaration names.
    std::optional<std::string> vntDeclaredEncoding;
};

// The document that the program builds its statements in: a document node, elements,
// attributes, text and CDATA sections, and nothing else. Nodes take 20 bytes each in large
// blocks, element names are stored once in a table, texts lie in one arena, and an element
// whose only child is a text keeps that text itself (the text still appears as its child, with
// a number of its own), so that a statement of a million transactions takes about two hundred
// bytes a transaction. A removed node's number is reused; the room of replaced or removed text
// comes back only with the tree. Mutators trust their arguments (the DOM checks them); they
// throw std::bad_alloc only.
class LeanTree
{
public:
    static constexpr NodeId kDocument = 0;

    LeanTree();

    // A removed node, or the text an element kept and gave up since, is NodeKind::Free.
    [[nodiscard]] NodeKind Kind(NodeId id) const
    {
        if (IsKeptText(id)) {
            return At(ElementOf(id)).Has(kKeepsText) ? NodeKind::Text : NodeKind::Free;
        }
        return At(id).Kind();
    }
    [[nodiscard]] NodeId Parent(NodeId id) const
    {
        return IsKeptText(id) ? ElementOf(id) : At(id).parent;
    }
    [[nodiscard]] NodeId Next(NodeId id) const { return IsKeptText(id) ? kNoNode : At(id).next; }
    // The first child of the document or an element; kNoNode for others and without one.
    [[nodiscard]] NodeId FirstChild(NodeId id) const
    {
        if (IsKeptText(id)) {
            return kNoNode;
        }
        const Node& node = At(id);
        if (node.Has(kKeepsText)) {
            return id | kKeptTextBit;
        }
        return node.Kind() == NodeKind::Element || node.Kind() == NodeKind::Document ? node.first
                                                                                     : kNoNode;
    }
    // The root element; kNoNode without one.
    [[nodiscard]] NodeId Root() const { return At(kDocument).first; }
    // An element's name.
    [[nodiscard]] NameId NameOf(NodeId id) const { return At(id).Name(); }
    [[nodiscard]] const std::string& Name(NameId name) const { return names_[name]; }
    [[nodiscard]] std::size_t NameCount() const { return names_.size(); }
    // The name's number; nullopt when no element was ever given that name.
    [[nodiscard]] std::optional<NameId> FindName(std::string_view sName) const;
    // The name's number, entering it in the table when it is new.
    [[nodiscard]] NameId AddName(std::string_view sName);
    // The text of a text node or CDATA section.
    [[nodiscard]] std::string_view Content(NodeId id) const;

    // Appends a new node as the last child of parent (the document or an element).
    NodeId AppendElement(NodeId parent, NameId name);
    NodeId AppendText(NodeId parent, NodeKind kind, std::string_view sText);
    // Replaces the text of a text node or CDATA section.
    void SetContent(NodeId id, std::string_view sText);
    // Unlinks the node and frees it with everything under it.
    void Remove(NodeId id);
    // Frees every child of the node.
    void RemoveChildren(NodeId id);

    // An element's attributes in document order; nullptr when it has none.
    [[nodiscard]] const std::vector<Attribute>* Attributes(NodeId id) const;
    // Sets the attribute, in its place when the element has it, last otherwise.
    void SetAttribute(NodeId id, std::string_view sName, std::string_view sValue);
    // Removes the attribute; one the element lacks is no error.
    void RemoveAttribute(NodeId id, std::string_view sName);

    [[nodiscard]] const DocumentFacts& Facts() const { return facts_; }
    void SetFacts(DocumentFacts facts) { facts_ = std::move(facts); }

    // The handle that the DOM hands out for a node, and back; valid while the node is in the
    // tree (a kept text's, while its element keeps it). nullptr for kNoNode, and kNoNode for
    // nullptr.
    [[nodiscard]] NodeRef Ref(NodeId id) const;
    [[nodiscard]] static NodeId IdOf(NodeRef ref);

private:
    struct Node
    {
        NodeId parent;
        NodeId next;
        NodeId first;       // container: first child; text, or a kept text: arena block of the text
        NodeId last;        // container: last child; text, or a kept text: offset in the block
        std::uint32_t bits; // the kind, the flags, and an element's name above them

        [[nodiscard]] NodeKind Kind() const { return static_cast<NodeKind>(bits & 7U); }
        [[nodiscard]] bool Has(std::uint32_t flag) const { return (bits & flag) != 0; }
        [[nodiscard]] NameId Name() const { return bits >> kNameShift; }
        void Set(std::uint32_t flag) { bits |= flag; }
        void Clear(std::uint32_t flag) { bits &= ~flag; }
    };
    // A block of nodes lies at an address that is a multiple of its room, after a header that
    // holds the block's number: a node's number is found from its address (the handles the DOM
    // hands out) without the node holding it.
    struct BlockDeleter
    {
        void operator()(char* block) const;
    };
    // Where a text lies in the arena: its length, then its bytes.
    struct TextRef
    {
        NodeId block;
        NodeId offset;
    };

    static constexpr std::uint32_t kAttributes = 8; // the element has attributes
    static constexpr std::uint32_t kKeepsText = 16; // the element keeps its only child, a text
    static constexpr unsigned kNameShift = 5;
    static constexpr NameId kMaxNames = NameId{1} << (32 - kNameShift);
    // The number of the text an element keeps is the element's with this bit set.
    static constexpr NodeId kKeptTextBit = NodeId{1} << 31;
    static constexpr unsigned kBlockBits = 14;
    static constexpr std::size_t kBlockNodes = std::size_t{1} << kBlockBits;
    static constexpr std::size_t kBlockHeader = 32;
    static constexpr std::size_t kBlockRoom = std::size_t{1} << 19;
    static_assert(sizeof(Node) == 20 && kBlockHeader + kBlockNodes * sizeof(Node) <= kBlockRoom);
    static constexpr std::size_t kTextBlock = std::size_t{1} << 20;

    [[nodiscard]] static bool IsKeptText(NodeId id) { return (id & kKeptTextBit) != 0; }
    [[nodiscard]] static NodeId ElementOf(NodeId keptText) { return keptText & ~kKeptTextBit; }
    [[nodiscard]] const Node& At(NodeId id) const
    {
        return nodes_[id >> kBlockBits][id & (kBlockNodes - 1)];
    }
    [[nodiscard]] Node& At(NodeId id) { return nodes_[id >> kBlockBits][id & (kBlockNodes - 1)]; }
    // The node that holds the text of a text node or kept text.
    [[nodiscard]] Node& Holder(NodeId id) { return At(IsKeptText(id) ? ElementOf(id) : id); }
    [[nodiscard]] const Node& Holder(NodeId id) const
    {
        return At(IsKeptText(id) ? ElementOf(id) : id);
    }
    NodeId NewNode(NodeKind kind, NodeId parent);
    void AddBlock();
    void Link(NodeId parent, NodeId child);
    // Makes the text that an element keeps a child node of its own.
    void GiveUpText(NodeId element);
    [[nodiscard]] TextRef Store(std::string_view sText);
    void Free(NodeId id);

    struct NameHash
    {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const
        {
            return std::hash<std::string_view>{}(text);
        }
    };

    std::vector<std::unique_ptr<char, BlockDeleter>> blocks_;
    std::vector<Node*> nodes_;  // the nodes of each block
    NodeId used_ = 0;           // nodes ever taken from the blocks
    NodeId freeList_ = kNoNode; // removed nodes, chained through next
    std::vector<std::unique_ptr<char[]>> textBlocks_;
    std::size_t textUsed_ = kTextBlock; // bytes taken in the last ordinary text block
    std::size_t textBlock_ = 0;         // which block that is
    std::vector<std::string> names_;
    std::unordered_map<std::string, NameId, NameHash, std::equal_to<>> nameIds_;
    std::unordered_map<NodeId, std::vector<Attribute>> attributes_;
    DocumentFacts facts_;
};

} // namespace qif2ldx::xml::lean
