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

std::optional<std::size_t> MessageRecorder::Choose(const std::string& sTitle,
                                                   const std::string& sText,
                                                   const std::vector<std::string>& buttons,
                                                   std::size_t preselected)
{
    messages_.push_back({sTitle, sText, MessageKind::Question});
    asked_.push_back({buttons, preselected});
    if (choices_.empty()) {
        return preselected;
    }
    const std::optional<std::size_t> choice = choices_.front();
    choices_.pop_front();
    return choice;
}

void MessageRecorder::AnswerNextChoice(std::optional<std::size_t> choice)
{
    choices_.push_back(choice);
}

void MessageRecorder::AnswerNextQuestion(platform::MessageAnswer answer)
{
    answers_.push_back(answer);
}

} // namespace qif2ldx::test
