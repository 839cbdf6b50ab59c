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
// A name's number in its tree's name table (elements, attributes, processing instructions and
// entity references share it).
using NameId = std::uint32_t;

enum class NodeKind : std::uint8_t
{
    Document,
    Element,
    Text,
    CData,
    Comment,
    ProcessingInstruction, // its target is its name
    DocumentType,          // the whole declaration, kept as the text it is written as
    EntityReference,       // its name, and the text it stands for
    Attribute,             // its name and value; its parent is its element
    Free                   // a removed node, waiting to be reused
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

    // The value that the document type gives an attribute of an element that has none.
    struct Default
    {
        std::string sElement;
        std::string sName;
        std::string sValue;
    };
    std::vector<Default> defaults;
};

// The one tree a document lives in: every kind of node a loaded document brings. Nodes take 20
// bytes each in large blocks, names are stored once in a table, texts lie in one arena, and an
// element whose only child is a text keeps that text itself (the text still appears as its
// child, with a number of its own), so that a statement of a million transactions takes about
// two hundred bytes a transaction. Attributes are nodes too, chained beside their element's
// children. A removed node's number is reused; the room of replaced or removed text comes back
// only with the tree. Every change counts in Revision(). Mutators trust their arguments (the DOM
// checks them); they throw std::bad_alloc only.
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
    // The next sibling; for an attribute, the element's next attribute.
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
    // The element's first attribute; kNoNode when it has none.
    [[nodiscard]] NodeId FirstAttribute(NodeId id) const;
    // The root element; kNoNode without one.
    [[nodiscard]] NodeId Root() const;
    // The name of an element, attribute, processing instruction or entity reference.
    [[nodiscard]] NameId NameOf(NodeId id) const { return At(id).Name(); }
    [[nodiscard]] const std::string& Name(NameId name) const { return names_[name]; }
    [[nodiscard]] std::size_t NameCount() const { return names_.size(); }
    // The name's number; nullopt when no node was ever given that name.
    [[nodiscard]] std::optional<NameId> FindName(std::string_view sName) const;
    // The name's number, entering it in the table when it is new.
    [[nodiscard]] NameId AddName(std::string_view sName);
    // The text of any node but the document and an element.
    [[nodiscard]] std::string_view Content(NodeId id) const;

    // Appends a new node as the last child of parent (the document or an element).
    NodeId AppendElement(NodeId parent, NameId name);
    // The same for the other kinds but attributes; name is a processing instruction's target or
    // an entity reference's name.
    NodeId AppendLeaf(NodeId parent, NodeKind kind, std::string_view sText, NameId name = 0);
    // Replaces the text of a node that has one.
    void SetContent(NodeId id, std::string_view sText);
    // Unlinks the node and frees it with everything under it; an attribute leaves its element.
    void Remove(NodeId id);
    // Frees every child of the node.
    void RemoveChildren(NodeId id);

    // The element's attribute of that name; kNoNode when it has none.
    [[nodiscard]] NodeId FindAttribute(NodeId id, std::string_view sName) const;
    // Sets the attribute, in its place when the element has it, last otherwise.
    NodeId SetAttribute(NodeId id, std::string_view sName, std::string_view sValue);

    [[nodiscard]] const DocumentFacts& Facts() const { return facts_; }
    void SetFacts(DocumentFacts facts) { facts_ = std::move(facts); }
    // Grows with every change to the nodes, so that a copy of the tree knows when it is stale.
    [[nodiscard]] std::uint64_t Revision() const { return revision_; }

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
        std::uint32_t bits; // the kind, the flags, and the name above them

        [[nodiscard]] NodeKind Kind() const { return static_cast<NodeKind>(bits & 15U); }
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

    static constexpr std::uint32_t kAttributes = 16; // the element has attributes
    static constexpr std::uint32_t kKeepsText = 32;  // the element keeps its only child, a text
    static constexpr unsigned kNameShift = 6;
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
    // The node that holds the text of a node or kept text.
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
    std::unordered_map<NodeId, NodeId> firstAttributes_; // of the elements that have attributes
    DocumentFacts facts_;
    std::uint64_t revision_ = 0;
};

} // namespace qif2ldx::xml::lean
