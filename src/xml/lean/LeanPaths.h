// SPDX-License-Identifier: MIT
#pragma once

#include "xml/dom/ElementPath.h"
#include "xml/lean/LeanTree.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qif2ldx::xml::lean {

// Answers plain element paths over a LeanTree, and remembers what it found, so that a statement
// builder that addresses the n-th of many like-named siblings in turn, and the same few parents
// again and again, pays constant time per query.
//
// What it remembers stays true because the tree's elements change only through this class:
// AppendElement, Remove and RemoveChildren. Appending as the last child keeps every remembered
// position and almost every remembered match (those it could displace are dropped); removing
// nodes drops everything. Text nodes may be added to and changed in the tree directly.
class LeanPaths
{
public:
    explicit LeanPaths(LeanTree& tree) : tree_(tree) {}

    // A query read as a plain element path, with the names of its steps looked up once.
    struct Query
    {
        std::string text;
        bool bolPlain = false;
        ElementPath path;
        std::vector<NameId> names; // filled once every name is known to the tree
    };

    // The query read as a plain path; nullptr when it is not one. Valid until the next call.
    [[nodiscard]] Query* Parse(const std::string& sQuery);

    // The first element the plain path selects, kNoNode when none; from the document for an
    // absolute path, from the root element otherwise. Both throw DomError for a relative path
    // in a document without a root element.
    [[nodiscard]] NodeId First(Query& query);
    // How many elements the plain path selects.
    [[nodiscard]] std::int64_t Count(Query& query);

    // The tree's operations that add or remove elements.
    NodeId AppendElement(NodeId parent, NameId name);
    void Remove(NodeId id);
    void RemoveChildren(NodeId id);

private:
    struct Step
    {
        NameId name;
        std::optional<std::uint64_t> index;
    };
    struct PositionEntry
    {
        NodeId parent;
        NameId name;
        std::uint64_t index;
        NodeId node;
    };
    struct Resolved
    {
        std::string query;
        NodeId node;
    };

    // Reads sQuery into latest when it differs from latest's text in its last index only.
    static bool NextIndex(Query& latest, const std::string& sQuery);
    void Forget();
    // An element is about to be appended under parent: matches it could displace are dropped.
    void Appending(NodeId parent);
    [[nodiscard]] bool IsElementNamed(NodeId node, NameId name) const;
    NodeId NthChild(NodeId parent, NameId name, std::uint64_t index);
    NodeId FirstMatch(NodeId parent, const Step& step);
    [[nodiscard]] NodeId NextMatch(NodeId node, const Step& step) const;
    // Visits the matches of the path in document order; stops at the first when bolFirstOnly.
    std::int64_t Walk(Query& query, bool bolFirstOnly, NodeId* first);

    LeanTree& tree_;
    // Last position found per parent and element name.
    std::vector<PositionEntry> positions_;
    // Plain paths already resolved to their first match.
    std::vector<Resolved> resolved_;
    // The parent that every remembered match was last checked against: appending under it
    // again displaces none of them.
    NodeId checkedParent_ = kNoNode;
    // The last few queries parsed, the latest last: the builder addresses each new transaction
    // with the same text several times in a row.
    std::array<Query, 4> parsed_;
    std::size_t latest_ = 0;
};

} // namespace qif2ldx::xml::lean
