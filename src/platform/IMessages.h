// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace qif2ldx::platform {

enum class MessageKind
{
    Information, // an OK button
    Warning,     // an OK button
    Question     // Yes and No buttons, Yes the default
};

enum class MessageAnswer
{
    Ok,
    Yes,
    No
};

// How core code tells the user something; the dialog shows a message box, the command line
// writes to stderr, tests record.
class IMessages
{
public:
    virtual ~IMessages() = default;

    // Shows one message and waits until it is answered. Information and warnings answer Ok; a
    // question answers Yes or No.
    virtual MessageAnswer Show(const std::string& sTitle, const std::string& sText,
                               MessageKind kind) = 0;
};

} // namespace qif2ldx::platform
