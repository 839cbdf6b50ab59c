// SPDX-License-Identifier: MIT
#pragma once

#include "xml/dom/ElementPath.h"

#include <array>
#include <cstdint>
#include <libxml/tree.h>
#include <optional>
#include <string>
#include <vector>

namespace qif2ldx::xml::libxml {

// Answers plain element paths over one libxml2 document by walking its tree, and remembers
// what it found so that a statement builder that addresses the n-th of many like-named
// siblings in turn, and the same few parents again and again, pays constant time per query.
//
// What it remembers stays true because the tree's structure changes only through this class
// while it indexes the tree: AppendChild, RemoveChild and RemoveChildren. Appending as the last
// child keeps every remembered position and almost every remembered match (those it could
// displace are dropped); removing nodes drops everything.
class PathIndex
{
public:
    // Indexes another document (or none); everything remembered is dropped.
    void Reset(xmlDoc* doc);

    // The path, or nullopt when the query is not a plain element path.
    [[nodiscard]] const std::optional<ElementPath>& Parsed(const std::string& sQuery);

    // The first element the plain path selects, nullptr when none; from the document for an
    // absolute path, from the root element otherwise. Both throw DomError for a relative path
    // in a document without a root element.
    [[nodiscard]] xmlNode* First(const std::string& sQuery, const ElementPath& path);
    // How many elements the plain path selects.
    [[nodiscard]] std::int64_t Count(const ElementPath& path);

    // Appends child (a node of the indexed document, linked nowhere) as the last child of
    // parent; false when libxml2 refuses it, and child then still belongs to the caller.
    [[nodiscard]] bool AppendChild(xmlNode* parent, xmlNode* child);
    // Unlinks the node and frees it with its descendants.
    void RemoveChild(xmlNode* child);
    // Frees every child of the element.
    void RemoveChildren(xmlNode* element);

    // The root element; nullptr without one.
    [[nodiscard]] xmlNode* Root() const;

private:
    struct PositionEntry
    {
        const xmlNode* parent;
        std::string name;
        std::uint64_t index;
        xmlNode* node;
    };
    struct Resolved
    {
        std::string query;
        xmlNode* node;
    };
    struct ParsedQuery
    {
        std::string text;
        std::optional<ElementPath> path;
    };

    void Forget();
    // An element is about to be appended under parent: matches it could displace are dropped.
    void Appending(const xmlNode* parent);
    xmlNode* NthChild(xmlNode* parent, const std::string& name, std::uint64_t index);
    xmlNode* FirstMatch(xmlNode* parent, const ElementPath::Step& step);
    static xmlNode* NextMatch(xmlNode* node, const ElementPath::Step& step);
    // Visits the matches of the path in document order; stops at the first when bolFirstOnly.
    std::int64_t Walk(const ElementPath& path, bool bolFirstOnly, xmlNode** first);

    xmlDoc* doc_ = nullptr;
    // Last position found per parent and element name.
    std::vector<PositionEntry> positions_;
    // Plain paths already resolved to their first match.
    std::vector<Resolved> resolved_;
    // The last few queries parsed: the builder addresses each new transaction with the same
    // text several times in a row.
    std::array<ParsedQuery, 4> parsed_;
    std::size_t nextParsed_ = 0;
};

} // namespace qif2ldx::xml::libxml
