// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

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
    // Asks a question whose answers are the buttons given, followed by Cancel, and waits until
    // it is answered: the index of the button chosen, or nullopt for Cancel (or a window closed
    // without an answer). The button at preselected is the one Enter presses; buttons.size()
    // makes it Cancel.
    [[nodiscard]] virtual std::optional<std::size_t> Choose(const std::string& sTitle,
                                                            const std::string& sText,
                                                            const std::vector<std::string>& buttons,
                                                            std::size_t preselected) = 0;
};

} // namespace qif2ldx::platform
