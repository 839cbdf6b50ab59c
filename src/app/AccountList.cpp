// SPDX-License-Identifier: MIT
#include "app/AccountList.h"

#include "app/MainModule.h"
#include "app/ReasonWords.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "platform/Utf8.h"
#include "platform/Windows1252.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace qif2ldx::app {
namespace {

constexpr std::size_t kFields = 6;

// Calls onLine with every non-empty line and its number. Fails when the file could not be read.
template <typename OnLine> platform::Done ForEachLine(const std::string& sListFile, OnLine onLine)
{
    if (sListFile.empty()) {
        return {{platform::ReasonKind::NoSuchFile, 0}};
    }
    const platform::Result<std::string> bytes = platform::ReadRegularFile(sListFile);
    if (!bytes) {
        return {bytes.reason};
    }
    std::string_view text(bytes.value);
    const bool bolUtf8 = text.substr(0, 3) == platform::kUtf8ByteOrderMark;
    if (bolUtf8) {
        text.remove_prefix(3);
    }
    std::size_t pos = 0;
    std::int64_t number = 0;
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
        ++number;
        if (!line.empty()) {
            onLine(platform::DecodeFileText(line, bolUtf8), number);
        }
    }
    return {};
}

// The fields of a line, each without the blanks around it; at most six.
std::vector<std::string> Fields(std::string_view line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (fields.size() < kFields) {
        const std::size_t comma = line.find(',', start);
        fields.emplace_back(platform::TrimBlanks(line.substr(start, comma - start)));
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    return fields;
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

AccountListContents ReadAccountList(const std::string& sListFile)
{
    AccountListContents contents;
    const platform::Done read =
        ForEachLine(sListFile, [&](const std::string& line, std::int64_t number) {
            if (platform::TrimBlanks(line).empty()) {
                return; // a line of blanks is as empty as an empty one
            }
            if (line.find(',') == std::string::npos) {
                contents.faults.push_back({number, true});
                return;
            }
            std::vector<std::string> fields = Fields(line);
            if (fields.front().empty()) {
                contents.faults.push_back({number, false});
                return;
            }
            AccountEntry entry;
            entry.line = number;
            entry.bolShort = fields.size() < kFields;
            fields.resize(kFields);
            records::CAcctInfo& info = entry.cAcctInf;
            info = {std::move(fields[0]), platform::ToUpperAscii(fields[1]),
                    std::move(fields[2]), std::move(fields[3]),
                    std::move(fields[4]), std::move(fields[5])};
            contents.accounts.push_back(std::move(entry));
        });
    contents.bolRead = static_cast<bool>(read);
    contents.reason = read.reason;
    return contents;
}

std::string CannotReadAccountList(const std::string& sListFile, const platform::Reason& reason)
{
    return "cannot read the account list " + platform::EscapeControls(sListFile) + ": " +
           ReasonWords(reason);
}

std::string DescribeFault(const std::string& sListFile, const AccountLineFault& fault)
{
    return "the account list " + platform::EscapeControls(sListFile) + ", line " +
           std::to_string(fault.line) +
           (fault.bolNoComma ? ", has no comma" : ", has no account name before its first comma") +
           "; it was skipped";
}

AccountNames ReadAccountNames(const std::string& sListFile)
{
    const AccountListContents contents = ReadAccountList(sListFile);
    AccountNames result;
    result.bolComplete = contents.bolRead;
    result.names.reserve(contents.accounts.size());
    for (const AccountEntry& entry : contents.accounts) {
        result.names.push_back(entry.cAcctInf.AcctName);
    }
    return result;
}

bool LoadAccountInfo(const std::string& sListFile, const std::string& sAcctName,
                     records::CAcctInfo& cAcctInf)
{
    const AccountListContents contents = ReadAccountList(sListFile);
    const std::string sWanted = Trim(sAcctName);
    const auto match = std::find_if(
        contents.accounts.rbegin(), contents.accounts.rend(),
        [&sWanted](const AccountEntry& entry) { return entry.cAcctInf.AcctName == sWanted; });
    if (match == contents.accounts.rend()) {
        return contents.bolRead;
    }
    cAcctInf = match->cAcctInf;
    return !match->bolShort;
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
