// SPDX-License-Identifier: MIT
#include "xml/libxml/PathIndex.h"

#include "xml/dom/DomError.h"
#include "xml/libxml/NodeText.h"

#include <algorithm>

namespace qif2ldx::xml::libxml {

void PathIndex::Reset(xmlDoc* doc)
{
    doc_ = doc;
    Forget();
}

void PathIndex::Forget()
{
    positions_.clear();
    resolved_.clear();
}

const std::optional<ElementPath>& PathIndex::Parsed(const std::string& sQuery)
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

xmlNode* PathIndex::First(const std::string& sQuery, const ElementPath& path)
{
    for (const auto& entry : resolved_) {
        if (entry.query == sQuery) {
            return entry.node;
        }
    }
    xmlNode* first = nullptr;
    static_cast<void>(Walk(path, true, &first));
    if (first != nullptr) {
        constexpr std::size_t kMaxResolved = 8;
        if (resolved_.size() >= kMaxResolved) {
            resolved_.erase(resolved_.begin());
        }
        resolved_.push_back({sQuery, first});
    }
    return first;
}

std::int64_t PathIndex::Count(const ElementPath& path)
{
    return Walk(path, false, nullptr);
}

bool PathIndex::AppendChild(xmlNode* parent, xmlNode* child)
{
    if (child->type == XML_ELEMENT_NODE) {
        Appending(parent);
    }
    return xmlAddChild(parent, child) != nullptr;
}

void PathIndex::RemoveChild(xmlNode* child)
{
    Forget();
    xmlUnlinkNode(child);
    xmlFreeNode(child);
}

void PathIndex::RemoveChildren(xmlNode* element)
{
    if (element->children != nullptr) {
        Forget();
        xmlNodeSetContent(element, nullptr);
    }
}

xmlNode* PathIndex::Root() const
{
    return doc_ == nullptr ? nullptr : xmlDocGetRootElement(doc_);
}

void PathIndex::Appending(const xmlNode* parent)
{
    // Elements are only ever appended as last children, so a remembered match stays first
    // unless the new element comes neither after it (under one of its ancestors) nor inside it.
    std::erase_if(resolved_, [parent](const Resolved& entry) {
        for (const xmlNode* up = entry.node; up != nullptr; up = up->parent) {
            if (up == parent) {
                return false;
            }
        }
        for (const xmlNode* up = parent; up != nullptr; up = up->parent) {
            if (up == entry.node) {
                return false;
            }
        }
        return true;
    });
}

xmlNode* PathIndex::NthChild(xmlNode* parent, const std::string& name, std::uint64_t index)
{
    auto entry = std::find_if(positions_.begin(), positions_.end(), [&](const auto& candidate) {
        return candidate.parent == parent && candidate.name == name;
    });
    xmlNode* node = nullptr;
    std::uint64_t position = 0;
    if (entry != positions_.end() && entry->index <= index) {
        node = entry->node;
        position = entry->index;
    } else {
        node = parent->children;
        while (node != nullptr && !IsElementNamed(node, name)) {
            node = node->next;
        }
    }
    while (node != nullptr && position < index) {
        node = node->next;
        while (node != nullptr && !IsElementNamed(node, name)) {
            node = node->next;
        }
        ++position;
    }
    if (node == nullptr) {
        return nullptr;
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

xmlNode* PathIndex::FirstMatch(xmlNode* parent, const ElementPath::Step& step)
{
    if (!HasChildList(parent) || parent->type == XML_ATTRIBUTE_NODE) {
        return nullptr;
    }
    if (step.index) {
        return NthChild(parent, step.strName, *step.index);
    }
    xmlNode* node = parent->children;
    while (node != nullptr && !IsElementNamed(node, step.strName)) {
        node = node->next;
    }
    return node;
}

xmlNode* PathIndex::NextMatch(xmlNode* node, const ElementPath::Step& step)
{
    if (step.index) {
        return nullptr; // an index step selects one element per parent
    }
    node = node->next;
    while (node != nullptr && !IsElementNamed(node, step.strName)) {
        node = node->next;
    }
    return node;
}

std::int64_t PathIndex::Walk(const ElementPath& path, bool bolFirstOnly, xmlNode** first)
{
    xmlNode* container = path.bolAbsolute ? reinterpret_cast<xmlNode*>(doc_) : Root();
    if (container == nullptr) {
        throw DomError("the document has no root element");
    }
    const std::size_t last = path.steps.size() - 1;
    // Paths are short; a long one gets room of its own.
    std::array<xmlNode*, 16> shortCursor{};
    std::vector<xmlNode*> longCursor;
    xmlNode** cursor = shortCursor.data();
    if (path.steps.size() > shortCursor.size()) {
        longCursor.resize(path.steps.size());
        cursor = longCursor.data();
    }
    std::size_t level = 0;
    cursor[0] = FirstMatch(container, path.steps[0]);
    std::int64_t count = 0;
    while (true) {
        if (cursor[level] == nullptr) {
            if (level == 0) {
                return count;
            }
            --level;
            cursor[level] = NextMatch(cursor[level], path.steps[level]);
        } else if (level < last) {
            cursor[level + 1] = FirstMatch(cursor[level], path.steps[level + 1]);
            ++level;
        } else {
            if (count == 0 && first != nullptr) {
                *first = cursor[level];
            }
            ++count;
            if (bolFirstOnly) {
                return count;
            }
            cursor[level] = NextMatch(cursor[level], path.steps[level]);
        }
    }
}

} // namespace qif2ldx::xml::libxml
