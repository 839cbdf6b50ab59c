// SPDX-License-Identifier: MIT
#include "xml/libxml/NameRules.h"

#include "platform/Utf8.h"
#include "xml/dom/DomError.h"
#include "xml/libxml/Handles.h"

namespace qif2ldx::xml::libxml {

void CheckName(const std::string& name)
{
    if (name.empty() || !platform::IsValidUtf8(name) || xmlValidateName(ToXmlChar(name), 0) != 0) {
        throw DomError("not a valid XML name: " + name);
    }
}

} // namespace qif2ldx::xml::libxml
