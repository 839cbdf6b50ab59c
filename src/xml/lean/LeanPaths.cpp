// SPDX-License-Identifier: MIT
#include "xml/lean/LeanPaths.h"

#include "xml/dom/DomError.h"

#include <algorithm>

namespace qif2ldx::xml::lean {

const std::optional<ElementPath>& LeanPaths::Parsed(const std::string& sQuery)
{
    for (const auto& entry : parsed_) {
        if (entry.text == sQuery && !entry.text.empty()) {
            return entry.path;
        }
    }
    ParsedQuery& slot = parsed_[nextParsed_];
    nextParsed_ = (nextParsed_ + 1) % parsed_.size();
    slot.text = sQuery;
    slot.path = ParseElementPath(sQuery);
    return slot.path;
}

NodeId LeanPaths::First(const std::string& sQuery, const ElementPath& path)
{
    for (const auto& entry : resolved_) {
        if (entry.query == sQuery) {
            return entry.node;
        }
    }
    NodeId first = kNoNode;
    static_cast<void>(Walk(path, true, &first));
    if (first != kNoNode) {
        constexpr std::size_t kMaxResolved = 8;
        if (resolved_.size() >= kMaxResolved) {
            resolved_.erase(resolved_.begin());
        }
        resolved_.push_back({sQuery, first});
    }
    return first;
}

std::int64_t LeanPaths::Count(const ElementPath& path)
{
    return Walk(path, false, nullptr);
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
}

void LeanPaths::Appending(NodeId parent)
{
    // Elements are only ever appended as last children, so a remembered match stays first
    // unless the new element comes neither after it (under one of its ancestors) nor inside it.
    std::erase_if(resolved_, [this, parent](const Resolved& entry) {
        for (NodeId up = entry.node; up != kNoNode; up = tree_.Parent(up)) {
            if (up == parent) {
                return false;
            }
        }
        for (NodeId up = parent; up != kNoNode; up = tree_.Parent(up)) {
            if (up == entry.node) {
                return false;
            }
        }
        return true;
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

std::int64_t LeanPaths::Walk(const ElementPath& path, bool bolFirstOnly, NodeId* first)
{
    const NodeId container = path.bolAbsolute ? LeanTree::kDocument : tree_.Root();
    if (container == kNoNode) {
        throw DomError("the document has no root element");
    }
    // Paths are short; a long one gets room of its own. A name that no element was ever given
    // matches nothing.
    const std::size_t count = path.steps.size();
    std::array<Step, 16> shortSteps{};
    std::array<NodeId, 16> shortCursor{};
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
        const std::optional<NameId> name = tree_.FindName(path.steps[i].strName);
        if (!name) {
            return 0;
        }
        steps[i] = {*name, path.steps[i].index};
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
