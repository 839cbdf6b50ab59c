// SPDX-License-Identifier: MIT
#include "app/AccountList.h"

#include "app/MainModule.h"
#include "platform/FileSystem.h"
#include "platform/Windows1252.h"

#include <array>
#include <optional>
#include <string_view>

namespace qif2ldx::app {
namespace {

// Calls onLine for every non-empty line until it returns false. Returns false when the file
// could not be read or onLine stopped the reading.
template <typename OnLine> bool ForEachLine(const std::string& sListFile, OnLine onLine)
{
    if (sListFile.empty()) {
        return false;
    }
    const platform::Result<std::string> bytes = platform::ReadRegularFile(sListFile);
    if (!bytes) {
        return false;
    }
    std::string_view text(bytes.value);
    const bool bolUtf8 = text.substr(0, 3) == platform::kUtf8ByteOrderMark;
    if (bolUtf8) {
        text.remove_prefix(3);
    }
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = text.substr(pos, end - pos);
        pos = end;
        if (pos < text.size()) {
            pos += text.compare(pos, 2, "\r\n") == 0 ? 2 : 1;
        }
        if (!line.empty() && !onLine(platform::DecodeFileText(line, bolUtf8))) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string DefaultAccountList(const platform::IProgramFolder& objProgramFolder)
{
    return AppPath(objProgramFolder) + kAccountListName;
}

std::string UserAccountList(const platform::IEnvironment& objEnvironment)
{
    return UserConfigFile(objEnvironment, kAccountListName);
}

std::string ResolveAccountList(const std::string& sGiven,
                               const platform::IProgramFolder& objProgramFolder,
                               const platform::IEnvironment& objEnvironment)
{
    if (!sGiven.empty()) {
        return sGiven;
    }
    const std::string sUserList = UserAccountList(objEnvironment);
    return FileExists(sUserList) ? sUserList : DefaultAccountList(objProgramFolder);
}

AccountNames ReadAccountNames(const std::string& sListFile)
{
    AccountNames result;
    result.bolComplete = ForEachLine(sListFile, [&](const std::string& line) {
        const std::size_t comma = line.find(',');
        if (comma == std::string::npos) {
            return false;
        }
        result.names.push_back(line.substr(0, comma));
        return true;
    });
    return result;
}

bool LoadAccountInfo(const std::string& sListFile, const std::string& sAcctName,
                     records::CAcctInfo& cAcctInf)
{
    const std::string sWanted = Trim(sAcctName);
    const std::array<std::string*, 6> fields = {&cAcctInf.AcctName,  &cAcctInf.AcctType,
                                                &cAcctInf.CurDef,    &cAcctInf.AcctNum,
                                                &cAcctInf.BranchNum, &cAcctInf.BID};
    return ForEachLine(sListFile, [&](const std::string& line) {
        const std::size_t firstComma = line.find(',');
        if (line.compare(0, firstComma, sWanted) != 0) {
            return true;
        }
        std::size_t start = 0;
        for (std::string* field : fields) {
            if (start == std::string::npos) {
                return false; // a matching line with fewer than six fields
            }
            const std::size_t comma = line.find(',', start);
            *field = line.substr(start, comma == std::string::npos ? comma : comma - start);
            start = comma == std::string::npos ? comma : comma + 1;
        }
        return true;
    });
}

AccountLookup LookUpAccount(const std::string& sListFile, const std::string& sAcctName,
                            records::CAcctInfo& cAcctInf)
{
    const bool bolRead = LoadAccountInfo(sListFile, sAcctName, cAcctInf);
    // A line that matched has set the name, even when it was too short.
    if (cAcctInf.AcctName.empty()) {
        return bolRead ? AccountLookup::NotListed : AccountLookup::ListUnreadable;
    }
    return bolRead ? AccountLookup::Found : AccountLookup::IncompleteLine;
}

} // namespace qif2ldx::app
