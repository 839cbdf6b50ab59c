// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IMessages.h"

#include <iosfwd>

namespace qif2ldx::platform {

// Messages for a run without a person at a screen: each is written to a stream (stderr by
// default) as "title: text"; questions take the safe answer, No.
class StderrMessages final : public IMessages
{
public:
    StderrMessages();
    explicit StderrMessages(std::ostream& objStream);

    MessageAnswer Show(const std::string& sTitle, const std::string& sText,
                       MessageKind kind) override;

private:
    std::ostream& objStream_;
};

} // namespace qif2ldx::platform
