// SPDX-License-Identifier: MIT
#include "platform/StderrMessages.h"

#include <iostream>
#include <utility>

namespace qif2ldx::platform {

StderrMessages::StderrMessages() : objStream_(std::cerr) {}

StderrMessages::StderrMessages(std::ostream& objStream, std::string sProgramName)
    : objStream_(objStream), sProgramName_(std::move(sProgramName))
{}

StderrMessages::StderrMessages(std::ostream& objStream, std::string sProgramName,
                               std::string sInformationWord)
    : objStream_(objStream), sProgramName_(std::move(sProgramName)),
      sInformationWord_(std::move(sInformationWord))
{}

std::optional<std::size_t> StderrMessages::Choose(const std::string& sTitle,
                                                  const std::string& sText,
                                                  const std::vector<std::string>& /*buttons*/,
                                                  std::size_t /*preselected*/)
{
    static_cast<void>(Show(sTitle, sText, MessageKind::Information));
    objStream_ << (sProgramName_.empty() ? sTitle : sProgramName_)
               << ": answered Cancel (no one to ask)\n";
    return std::nullopt;
}

MessageAnswer StderrMessages::Show(const std::string& sTitle, const std::string& sText,
                                   MessageKind kind)
{
    const std::string& source = sProgramName_.empty() ? sTitle : sProgramName_;
    std::string text = sText;
    for (std::size_t pos = text.find("\r\n"); pos != std::string::npos;
         pos = text.find("\r\n", pos)) {
        text.erase(pos, 1);
    }
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    const std::string prefix = kind == MessageKind::Warning       ? "warning: "
                               : kind == MessageKind::Information ? sInformationWord_
                                                                  : "";
    objStream_ << source << ": " << prefix << text << '\n';
    if (kind == MessageKind::Question) {
        objStream_ << source << ": answered No (no one to ask)\n";
        return MessageAnswer::No;
    }
    return MessageAnswer::Ok;
}

} // namespace qif2ldx::platform
