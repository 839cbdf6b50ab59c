// SPDX-License-Identifier: MIT
#pragma once

#include "xml/lean/LeanTree.h"

#include <cstdint>
#include <memory>
#include <string>

namespace qif2ldx::xml::libxml {

// Answers the queries that only XPath answers, over a lean tree. XPath runs on a copy of the
// tree in libxml2's nodes, each of which points back to the lean node it copies, so that what a
// query selects is handed out as the tree's own handles. The copy is made at the first query
// and kept until the tree next changes: a caller that queries in a loop copies once. Queries
// count their indexes from 0 and start at the root element.
class XPathView
{
public:
    XPathView();
    ~XPathView();
    XPathView(const XPathView&) = delete;
    XPathView& operator=(const XPathView&) = delete;

    // The first node the query selects, in document order; nullptr when none. Throws DomError
    // for a query that XPath cannot read or that gives no node set, in a tree without a root
    // element, and when the node is none of the tree's (a namespace node); std::bad_alloc.
    [[nodiscard]] NodeRef First(const lean::LeanTree& tree, const std::string& sQuery);
    // How many nodes the query selects. Throws as First does, but for namespace nodes.
    [[nodiscard]] std::int64_t Count(const lean::LeanTree& tree, const std::string& sQuery);

private:
    struct Copy;
    struct Result;
    [[nodiscard]] Result Evaluate(const lean::LeanTree& tree, const std::string& sQuery);

    std::unique_ptr<Copy> copy_;
};

} // namespace qif2ldx::xml::libxml
