// SPDX-License-Identifier: MIT
#pragma once

#include "statement/OfxVisitor.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qif2ldx::statement {

// The open elements of an OFX body and the leaves they close into, told to the visitor; shared
// by the SGML and the XML form. Owns the text of the open elements whose text the visitor reads.
class OfxLeafBuilder
{
public:
    explicit OfxLeafBuilder(IOfxVisitor& objVisitor) : objVisitor_(objVisitor) {}

    // Far deeper than any statement nests: more is no statement, and would make every end tag
    // search further.
    static constexpr std::size_t kMaxDepth = 1000;

    // A start tag (sName in upper case). In SGML an element with text ends where the next one
    // starts. False when the element would nest deeper than kMaxDepth.
    [[nodiscard]] bool Start(const std::string& sName);

    // An element in the empty-element form, <MEMO/>.
    void SelfClosed(const std::string& sName);

    // Text (UTF-8) inside the innermost open element: kept when the visitor reads it, otherwise
    // only looked at for something other than blanks. Text outside every element is dropped.
    void Text(std::string_view sText);

    // Whether more text would be kept, or would tell whether the element holds any.
    [[nodiscard]] bool WantsText() const
    {
        return !open_.empty() && (open_.back().bolKeep || !open_.back().bolText);
    }

    // Whether the innermost element's text is kept, and so must be decoded.
    [[nodiscard]] bool KeepsText() const { return !open_.empty() && open_.back().bolKeep; }

    // An end tag: the elements still open inside it end without theirs. One that matches no
    // open element is ignored.
    void End(const std::string& sName);

    // The end of the body: what is still open ends there.
    void Finish();

    // Whether an OFX element has started.
    [[nodiscard]] bool SeenOfx() const { return bolSeenOfx_; }

private:
    struct Open
    {
        std::string sName;
        std::string sText; // only when bolKeep
        bool bolKeep;      // the visitor reads its text
        bool bolText;      // it holds text other than blanks
        bool bolChildren;
    };

    void Close(bool bolImplicit);
    void Pop();
    void Emit(const Open& open, LeafForm form);

    IOfxVisitor& objVisitor_;
    std::vector<Open> open_;
    std::unordered_map<std::string, std::size_t> openNames_; // how many of each name are open
    std::int64_t transactions_ = 0;
    std::int64_t current_ = 0;
    bool bolSeenOfx_ = false;
};

} // namespace qif2ldx::statement
