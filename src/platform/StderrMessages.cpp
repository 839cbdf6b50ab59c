// SPDX-License-Identifier: MIT
#include "platform/StderrMessages.h"

#include <iostream>

namespace qif2ldx::platform {

StderrMessages::StderrMessages() : objStream_(std::cerr) {}

StderrMessages::StderrMessages(std::ostream& objStream) : objStream_(objStream) {}

MessageAnswer StderrMessages::Show(const std::string& sTitle, const std::string& sText,
                                   MessageKind kind)
{
    const char* prefix = kind == MessageKind::Warning ? "warning: " : "";
    objStream_ << sTitle << ": " << prefix << sText << '\n';
    if (kind == MessageKind::Question) {
        objStream_ << sTitle << ": answered No (no one to ask)\n";
        return MessageAnswer::No;
    }
    return MessageAnswer::Ok;
}

} // namespace qif2ldx::platform
