// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IMessages.h"

#include <deque>
#include <vector>

namespace qif2ldx::platform {

// Keeps every message shown, in order, and answers questions from a queue of prepared answers
// (Yes once the queue is empty). For tests and fuzzers.
class MessageRecorder final : public IMessages
{
public:
    struct Message
    {
        std::string sTitle;
        std::string sText;
        MessageKind kind = MessageKind::Information;

        bool operator==(const Message&) const = default;
    };

    MessageAnswer Show(const std::string& sTitle, const std::string& sText,
                       MessageKind kind) override;

    // Queues the answer to the next question not yet answered.
    void AnswerNextQuestion(MessageAnswer answer);

    [[nodiscard]] const std::vector<Message>& Messages() const { return messages_; }
    void Clear() { messages_.clear(); }

private:
    std::vector<Message> messages_;
    std::deque<MessageAnswer> answers_;
};

} // namespace qif2ldx::platform
