// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IMessages.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace qif2ldx::test {

// Keeps every message shown, in order, and answers questions from a queue of prepared answers
// (Yes once the queue is empty), and choices from another (the preselected button once that is
// empty). For tests and fuzzers.
class MessageRecorder final : public platform::IMessages
{
public:
    struct Message
    {
        std::string sTitle;
        std::string sText;
        platform::MessageKind kind = platform::MessageKind::Information;

        bool operator==(const Message&) const = default;
    };
    // A choice asked, beside its message (a question) in Messages().
    struct Choice
    {
        std::vector<std::string> buttons; // Cancel not included
        std::size_t preselected = 0;

        bool operator==(const Choice&) const = default;
    };

    platform::MessageAnswer Show(const std::string& sTitle, const std::string& sText,
                                 platform::MessageKind kind) override;

    std::optional<std::size_t> Choose(const std::string& sTitle, const std::string& sText,
                                      const std::vector<std::string>& buttons,
                                      std::size_t preselected) override;
    // Queues the answer to the next question not yet answered.
    void AnswerNextQuestion(platform::MessageAnswer answer);
    // Queues the answer to the next choice: a button's index, or nullopt for Cancel.
    void AnswerNextChoice(std::optional<std::size_t> choice);

    [[nodiscard]] const std::vector<Message>& Messages() const { return messages_; }
    [[nodiscard]] const std::vector<Choice>& Choices() const { return asked_; }
    void Clear()
    {
        messages_.clear();
        asked_.clear();
    }

private:
    std::vector<Message> messages_;
    std::deque<platform::MessageAnswer> answers_;
    std::deque<std::optional<std::size_t>> choices_;
    std::vector<Choice> asked_;
};

} // namespace qif2ldx::test
