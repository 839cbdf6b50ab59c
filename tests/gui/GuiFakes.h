// SPDX-License-Identifier: MIT
#pragma once

#include "app/gui/CommonDialog.h"
#include "app/gui/HelpWindow.h"
#include "platform/IFileAssociation.h"
#include "platform/IProcessStarter.h"
#include "platform/ISettings.h"

#include <QStringList>
#include <deque>
#include <filesystem>
#include <map>
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

struct RecordedSettings final : platform::ISettings
{
    std::map<std::string, std::string> values; // "Section/Name" to value
    int writes = 0;
    void WriteText(const std::string& sSection, const std::string& sName,
                   const std::string& sValue) override
    {
        values[sSection + "/" + sName] = sValue;
        ++writes;
    }
};

// Statement files open with the program the test names, when the file exists.
struct FakeAssociation final : platform::IFileAssociation
{
    std::string sExecutable;
    std::string FindExecutable(const std::string& sFile) const override
    {
        return std::filesystem::is_regular_file(sFile) ? sExecutable : std::string();
    }
};

struct RecordedStarts final : platform::IProcessStarter
{
    std::vector<std::vector<std::string>> started;
    bool StartDetached(const std::string& sExecutable,
                       const std::vector<std::string>& arguments) override
    {
        started.push_back({sExecutable});
        started.back().insert(started.back().end(), arguments.begin(), arguments.end());
        return true;
    }
};

} // namespace qif2ldx::test
