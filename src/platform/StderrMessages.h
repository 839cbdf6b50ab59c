// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IMessages.h"

#include <iosfwd>
#include <string>

namespace qif2ldx::platform {

// Messages for a run without a person at a screen: each is written to a stream (stderr by
// default) as "title: text", or "program: text" when a program name is given; CR LF line ends
// become LF. Questions take the safe answer: No, or Cancel.
class StderrMessages final : public IMessages
{
public:
    StderrMessages();
    explicit StderrMessages(std::ostream& objStream, std::string sProgramName = "");

    MessageAnswer Show(const std::string& sTitle, const std::string& sText,
                       MessageKind kind) override;
    std::optional<std::size_t> Choose(const std::string& sTitle, const std::string& sText,
                                      const std::vector<std::string>& buttons,
                                      std::size_t preselected) override;

private:
    std::ostream& objStream_;
    std::string sProgramName_;
};

} // namespace qif2ldx::platform
