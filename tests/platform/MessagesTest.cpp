// SPDX-License-Identifier: MIT
#include "platform/StderrMessages.h"
#include "support/MessageRecorder.h"

#include <gtest/gtest.h>
#include <sstream>

namespace qif2ldx::test {
namespace {

using namespace qif2ldx::platform;

TEST(StderrMessages, QuestionsTakeTheSafeAnswer)
{
    std::ostringstream out;
    StderrMessages messages(out);
    EXPECT_EQ(messages.Show("Lodestrand", "Overwrite?", MessageKind::Question), MessageAnswer::No);
    EXPECT_EQ(messages.Show("Lodestrand", "Careful", MessageKind::Warning), MessageAnswer::Ok);
    EXPECT_EQ(out.str(), "Lodestrand: Overwrite?\nLodestrand: answered No (no one to ask)\n"
                         "Lodestrand: warning: Careful\n");
}

TEST(MessageRecorder, AnswersQuestionsInTurnThenYes)
{
    MessageRecorder messages;
    messages.AnswerNextQuestion(MessageAnswer::No);
    EXPECT_EQ(messages.Show("t", "q1", MessageKind::Question), MessageAnswer::No);
    EXPECT_EQ(messages.Show("t", "q2", MessageKind::Question), MessageAnswer::Yes);
    EXPECT_EQ(messages.Show("t", "i", MessageKind::Information), MessageAnswer::Ok);
    EXPECT_EQ(messages.Messages().size(), 3U);
}

} // namespace
} // namespace qif2ldx::test
