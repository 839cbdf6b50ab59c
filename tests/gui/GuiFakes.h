// SPDX-License-Identifier: MIT
#pragma once

#include "app/gui/CommonDialog.h"
#include "app/gui/HelpWindow.h"
#include "app/gui/QifAccountQuestion.h"
#include "support/PlatformFakes.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

namespace qif2ldx::test {

// File dialogs that answer from a script and remember what they were asked.
struct ScriptedFileDialogs final : app::gui::IFileDialogBackend
{
    std::deque<std::optional<QString>> answers;
    std::vector<app::gui::FileDialogRequest> requests;

    std::optional<QString> Show(const app::gui::FileDialogRequest& objRequest) override
    {
        requests.push_back(objRequest);
        if (answers.empty()) {
            return std::nullopt;
        }
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// Answers the question of which QIF account to convert from a script ("All of them" unless told
// otherwise) and keeps what it was asked.
struct ScriptedList final : app::gui::IListQuestion
{
    std::optional<std::size_t> answer; // nullopt: the last item
    bool bolCancel = false;
    QString text;
    QStringList items;
    std::size_t preselected = 99;
    std::function<void()> objAsked; // told when it is asked, before it answers

    std::optional<std::size_t> Ask(const QString& sText, const QStringList& list,
                                   std::size_t at) override
    {
        text = sText;
        items = list;
        preselected = at;
        if (objAsked) {
            objAsked();
        }
        if (bolCancel) {
            return std::nullopt;
        }
        return answer ? *answer : static_cast<std::size_t>(list.size() - 1);
    }
};

struct RecordedHelp final : app::gui::IHelpViewer
{
    QStringList topics;
    void ShowTopic(const QString& sTopic) override { topics << sTopic; }
};

} // namespace qif2ldx::test
