// SPDX-License-Identifier: MIT
#pragma once

#include "app/gui/CommonDialog.h"
#include "app/gui/HelpWindow.h"
#include "support/PlatformFakes.h"

#include <QStringList>
#include <deque>
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

struct RecordedHelp final : app::gui::IHelpViewer
{
    QStringList topics;
    void ShowTopic(const QString& sTopic) override { topics << sTopic; }
};

} // namespace qif2ldx::test
