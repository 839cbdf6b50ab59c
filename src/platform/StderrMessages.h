// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IMessages.h"

#include <iosfwd>
#include <string>

namespace qif2ldx::platform {

// Messages for a run without a person at a screen: each is written to a stream (stderr by
// default) as "title: text", or "program: text" when a program name is given (with the kind's
// word, "error: " say, after the name when one is given for the kind); CR LF line ends become
// LF. Questions take the safe answer: No, or Cancel.
class StderrMessages final : public IMessages
{
public:
    StderrMessages();
    explicit StderrMessages(std::ostream& objStream, std::string sProgramName = "");
    // sInformationWord: written before each information message ("error: " where only
    // failures are told that way).
    StderrMessages(std::ostream& objStream, std::string sProgramName, std::string sInformationWord);

    MessageAnswer Show(const std::string& sTitle, const std::string& sText,
                       MessageKind kind) override;
    std::optional<std::size_t> Choose(const std::string& sTitle, const std::string& sText,
                                      const std::vector<std::string>& buttons,
                                      std::size_t preselected) override;

private:
    std::ostream& objStream_;
    std::string sProgramName_;
    std::string sInformationWord_;
};

} // namespace qif2ldx::platform
