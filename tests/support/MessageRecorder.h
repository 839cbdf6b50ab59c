// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IMessages.h"

#include <deque>
#include <vector>

namespace qif2ldx::test {

// Keeps every message shown, in order, and answers questions from a queue of prepared answers
// (Yes once the queue is empty). For tests and fuzzers.
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

    platform::MessageAnswer Show(const std::string& sTitle, const std::string& sText,
                                 platform::MessageKind kind) override;

    // Queues the answer to the next question not yet answered.
    void AnswerNextQuestion(platform::MessageAnswer answer);

    [[nodiscard]] const std::vector<Message>& Messages() const { return messages_; }
    void Clear() { messages_.clear(); }

private:
    std::vector<Message> messages_;
    std::deque<platform::MessageAnswer> answers_;
};

} // namespace qif2ldx::test
