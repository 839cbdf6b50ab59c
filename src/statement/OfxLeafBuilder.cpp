// SPDX-License-Identifier: MIT
#include "statement/OfxLeafBuilder.h"

#include <algorithm>

namespace qif2ldx::statement {

bool OfxLeafBuilder::Start(const std::string& sName)
{
    if (!open_.empty() && !open_.back().bolChildren && open_.back().bolText) {
        Close(true);
    }
    if (!open_.empty()) {
        open_.back().bolChildren = true;
    }
    bolSeenOfx_ = bolSeenOfx_ || sName == "OFX";
    open_.push_back({sName, {}, objVisitor_.ReadsText(sName), false, false});
    ++openNames_[sName];
    if (sName == "STMTTRN") {
        current_ = ++transactions_;
    }
    return open_.size() <= kMaxDepth;
}

void OfxLeafBuilder::SelfClosed(const std::string& sName)
{
    static_cast<void>(Start(sName)); // closed at once: it nests nothing
    Emit(open_.back(), LeafForm::SelfClosed);
    Pop();
}

void OfxLeafBuilder::Text(std::string_view sText)
{
    if (open_.empty()) {
        return;
    }
    Open& top = open_.back();
    if (top.bolKeep) {
        top.sText += sText;
    }
    top.bolText = top.bolText || sText.find_first_not_of(" \t\r\n") != std::string_view::npos;
}

void OfxLeafBuilder::End(const std::string& sName)
{
    if (const auto open = openNames_.find(sName); open == openNames_.end() || open->second == 0) {
        return; // at once, however deep the open elements go
    }
    const auto match = std::find_if(open_.rbegin(), open_.rend(),
                                    [&](const Open& open) { return open.sName == sName; });
    if (match == open_.rend()) {
        return;
    }
    const auto depth = static_cast<std::size_t>(open_.rend() - match);
    while (open_.size() > depth) {
        Close(true);
    }
    Close(false);
}

void OfxLeafBuilder::Finish()
{
    while (!open_.empty()) {
        if (open_.back().bolChildren) {
            Pop(); // an aggregate cut short
        } else {
            Close(true);
        }
    }
}

void OfxLeafBuilder::Close(bool bolImplicit)
{
    Open& top = open_.back();
    if (top.bolText && !top.bolChildren) {
        Emit(top, LeafForm::Text);
    } else if (bolImplicit) {
        Emit(top, LeafForm::NoEndTag); // in OFX only elements that hold text may lack one
    } else if (!top.bolChildren) {
        Emit(top, LeafForm::EndTagOnly);
    }
    if (top.sName == "STMTTRN") {
        current_ = 0;
    }
    Pop();
}

void OfxLeafBuilder::Pop()
{
    --openNames_[open_.back().sName];
    open_.pop_back();
}

void OfxLeafBuilder::Emit(const Open& open, LeafForm form)
{
    objVisitor_.Leaf(
        {open.sName, open.bolChildren ? std::string_view() : open.sText, current_, form});
}

} // namespace qif2ldx::statement
