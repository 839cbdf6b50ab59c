// SPDX-License-Identifier: MIT
#include "support/MessageRecorder.h"

namespace qif2ldx::test {

using platform::MessageAnswer;
using platform::MessageKind;

platform::MessageAnswer MessageRecorder::Show(const std::string& sTitle, const std::string& sText,
                                              platform::MessageKind kind)
{
    messages_.push_back({sTitle, sText, kind});
    if (kind != MessageKind::Question) {
        return MessageAnswer::Ok;
    }
    if (answers_.empty()) {
        return MessageAnswer::Yes;
    }
    const MessageAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void MessageRecorder::AnswerNextQuestion(platform::MessageAnswer answer)
{
    answers_.push_back(answer);
}

} // namespace qif2ldx::test
