// SPDX-License-Identifier: MIT
#include "xml/libxml/NameRules.h"

#include "platform/Utf8.h"
#include "xml/dom/DomError.h"
#include "xml/libxml/Handles.h"

#include <iterator>

namespace qif2ldx::xml::libxml {

void CheckName(const std::string& name)
{
    if (name.empty() || !platform::IsValidUtf8(name) || xmlValidateName(ToXmlChar(name), 0) != 0) {
        throw DomError("not a valid XML name: " + name);
    }
}

void NameCheck::Check(const std::string& name)
{
    for (const auto& known : known_) {
        if (known == name && !known.empty()) {
            return;
        }
    }
    CheckName(name);
    known_[next_] = name;
    next_ = (next_ + 1) % std::size(known_);
}

} // namespace qif2ldx::xml::libxml
