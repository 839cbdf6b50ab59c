// SPDX-License-Identifier: MIT
#include "xml/lean/LeanPaths.h"

#include "xml/dom/DomError.h"

#include <algorithm>

namespace qif2ldx::xml::lean {

LeanPaths::Query* LeanPaths::Parse(const std::string& sQuery)
{
    for (std::size_t age = 0; age < parsed_.size(); ++age) {
        Query& entry = parsed_[(latest_ + parsed_.size() - age) % parsed_.size()];
        if (entry.text == sQuery && !entry.text.empty()) {
            return entry.bolPlain ? &entry : nullptr;
        }
    }
    if (NextIndex(parsed_[latest_], sQuery)) {
        return &parsed_[latest_];
    }
    const Query& previous = parsed_[latest_];
    latest_ = (latest_ + 1) % parsed_.size();
    Query& slot = parsed_[latest_];
    slot.text = sQuery;
    slot.bolPlain = ParseElementPath(sQuery, slot.path);
    slot.names.clear();
    // A builder's next query mostly differs from the last in an index only: the names of the
    // steps are then known already.
    if (slot.bolPlain && previous.bolPlain && !previous.names.empty() &&
        previous.path.steps.size() == slot.path.steps.size() &&
        std::equal(previous.path.steps.begin(), previous.path.steps.end(), slot.path.steps.begin(),
                   [](const auto& a, const auto& b) { return a.strName == b.strName; })) {
        slot.names = previous.names;
    }
    return slot.bolPlain ? &slot : nullptr;
}

bool LeanPaths::NextIndex(Query& latest, const std::string& sQuery)
{
    // The builder's next query is mostly the last with another index in its last step; the
    // last one read is then changed in place.
    if (!latest.bolPlain || !latest.path.steps.back().index) {
        return false;
    }
    const std::size_t open = latest.text.rfind('[') + 1;
    if (sQuery.size() <= open + 1 || sQuery.back() != ']' ||
        sQuery.compare(0, open, latest.text, 0, open) != 0) {
        return false;
    }
    std::uint64_t index = 0;
    for (std::size_t pos = open; pos + 1 < sQuery.size(); ++pos) {
        if (sQuery[pos] < '0' || sQuery[pos] > '9') {
            return false;
        }
        index = std::min(index * 10 + static_cast<std::uint64_t>(sQuery[pos] - '0'), kMaxPathIndex);
    }
    latest.text = sQuery;
    latest.path.steps.back().index = index;
    return true;
}

NodeId LeanPaths::First(Query& query)
{
    // The latest match first: it is the one asked for again.
    for (auto entry = resolved_.rbegin(); entry != resolved_.rend(); ++entry) {
        if (entry->query == query.text) {
            return entry->node;
        }
    }
    NodeId first = kNoNode;
    static_cast<void>(Walk(query, true, &first));
    if (first != kNoNode) {
        constexpr std::size_t kMaxResolved = 8;
        if (resolved_.size() >= kMaxResolved) {
            resolved_.erase(resolved_.begin());
        }
        resolved_.push_back({query.text, first});
        checkedParent_ = kNoNode;
    }
    return first;
}

std::int64_t LeanPaths::Count(Query& query)
{
    return Walk(query, false, nullptr);
}

NodeId LeanPaths::AppendElement(NodeId parent, NameId name)
{
    Appending(parent);
    return tree_.AppendElement(parent, name);
}

void LeanPaths::Remove(NodeId id)
{
    Forget();
    tree_.Remove(id);
}

void LeanPaths::RemoveChildren(NodeId id)
{
    if (tree_.FirstChild(id) != kNoNode) {
        Forget();
        tree_.RemoveChildren(id);
    }
}

void LeanPaths::Forget()
{
    positions_.clear();
    resolved_.clear();
    checkedParent_ = kNoNode;
}

void LeanPaths::Appending(NodeId parent)
{
    // Elements are only ever appended as last children, so a remembered match stays first
    // unless the new element comes neither after it (under one of its ancestors) nor inside it:
    // unless the match lies beside the parent's line of ancestors rather than on it or below
    // the parent.
    if (parent == checkedParent_) {
        return;
    }
    checkedParent_ = parent;
    std::array<NodeId, 32> line; // the parent and its ancestors, up to the document
    std::size_t depth = 0;
    for (NodeId up = parent; up != kNoNode; up = tree_.Parent(up)) {
        if (depth == line.size()) {
            resolved_.clear(); // a tree this deep is no statement: nothing is kept
            return;
        }
        line[depth++] = up;
    }
    const auto onLine = [&line, depth](NodeId node) {
        return std::find(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(depth), node) !=
               line.begin() + static_cast<std::ptrdiff_t>(depth);
    };
    std::erase_if(resolved_, [&](const Resolved& entry) {
        // Up from the match to where it meets the line: the match itself (it holds the parent),
        // or the parent (the match lies below it), or else a branch beside it.
        NodeId meet = entry.node;
        while (!onLine(meet)) {
            meet = tree_.Parent(meet);
        }
        return meet != entry.node && meet != parent;
    });
}

bool LeanPaths::IsElementNamed(NodeId node, NameId name) const
{
    return tree_.Kind(node) == NodeKind::Element && tree_.NameOf(node) == name;
}

NodeId LeanPaths::NthChild(NodeId parent, NameId name, std::uint64_t index)
{
    auto entry = std::find_if(positions_.begin(), positions_.end(), [&](const auto& candidate) {
        return candidate.parent == parent && candidate.name == name;
    });
    NodeId node = kNoNode;
    std::uint64_t position = 0;
    if (entry != positions_.end() && entry->index <= index) {
        node = entry->node;
        position = entry->index;
    } else {
        node = tree_.FirstChild(parent);
        while (node != kNoNode && !IsElementNamed(node, name)) {
            node = tree_.Next(node);
        }
    }
    while (node != kNoNode && position < index) {
        node = tree_.Next(node);
        while (node != kNoNode && !IsElementNamed(node, name)) {
            node = tree_.Next(node);
        }
        ++position;
    }
    if (node == kNoNode) {
        return kNoNode;
    }
    if (entry != positions_.end()) {
        entry->index = index;
        entry->node = node;
        return node;
    }
    constexpr std::size_t kMaxEntries = 16;
    if (positions_.size() >= kMaxEntries) {
        positions_.erase(positions_.begin());
    }
    positions_.push_back({parent, name, index, node});
    return node;
}

NodeId LeanPaths::FirstMatch(NodeId parent, const Step& step)
{
    if (step.index) {
        return NthChild(parent, step.name, *step.index);
    }
    NodeId node = tree_.FirstChild(parent);
    while (node != kNoNode && !IsElementNamed(node, step.name)) {
        node = tree_.Next(node);
    }
    return node;
}

NodeId LeanPaths::NextMatch(NodeId node, const Step& step) const
{
    if (step.index) {
        return kNoNode; // an index step selects one element per parent
    }
    node = tree_.Next(node);
    while (node != kNoNode && !IsElementNamed(node, step.name)) {
        node = tree_.Next(node);
    }
    return node;
}

std::int64_t LeanPaths::Walk(Query& query, bool bolFirstOnly, NodeId* first)
{
    const ElementPath& path = query.path;
    const NodeId container = path.bolAbsolute ? LeanTree::kDocument : tree_.Root();
    if (container == kNoNode) {
        throw DomError("the document has no root element");
    }
    // A name that no element was ever given matches nothing.
    const std::size_t count = path.steps.size();
    if (query.names.empty()) {
        for (const ElementPath::Step& step : path.steps) {
            const std::optional<NameId> name = tree_.FindName(step.strName);
            if (!name) {
                query.names.clear();
                return 0;
            }
            query.names.push_back(*name);
        }
    }
    // Paths are short; a long one gets room of its own.
    std::array<Step, 16> shortSteps;
    std::array<NodeId, 16> shortCursor;
    std::vector<Step> longSteps;
    std::vector<NodeId> longCursor;
    Step* steps = shortSteps.data();
    NodeId* cursor = shortCursor.data();
    if (count > shortSteps.size()) {
        longSteps.resize(count);
        longCursor.resize(count);
        steps = longSteps.data();
        cursor = longCursor.data();
    }
    for (std::size_t i = 0; i < count; ++i) {
        steps[i] = {query.names[i], path.steps[i].index};
    }
    std::size_t level = 0;
    cursor[0] = FirstMatch(container, steps[0]);
    std::int64_t matches = 0;
    while (true) {
        if (cursor[level] == kNoNode) {
            if (level == 0) {
                return matches;
            }
            --level;
            cursor[level] = NextMatch(cursor[level], steps[level]);
        } else if (level + 1 < count) {
            cursor[level + 1] = FirstMatch(cursor[level], steps[level + 1]);
            ++level;
        } else {
            if (matches == 0 && first != nullptr) {
                *first = cursor[level];
            }
            ++matches;
            if (bolFirstOnly) {
                return matches;
            }
            cursor[level] = NextMatch(cursor[level], steps[level]);
        }
    }
}

} // namespace qif2ldx::xml::lean
