// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IFileAssociation.h"
#include "platform/IProcessStarter.h"
#include "platform/ISettings.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace qif2ldx::test {

// Statement files open with the program the test names, when the file exists.
struct FakeAssociation final : platform::IFileAssociation
{
    std::string sExecutable;
    std::string FindExecutable(const std::string& sFile) const override
    {
        return std::filesystem::is_regular_file(sFile) ? sExecutable : std::string();
    }
};

// Remembers every program it was asked to start, with its arguments.
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
    std::optional<std::string> ReadText(const std::string& sSection,
                                        const std::string& sName) const override
    {
        const auto found = values.find(sSection + "/" + sName);
        return found == values.end() ? std::nullopt : std::optional<std::string>(found->second);
    }
};

} // namespace qif2ldx::test
