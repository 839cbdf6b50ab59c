// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IEnvironment.h"
#include "platform/IProgramFolder.h"
#include "platform/Reason.h"
#include "records/CAcctInfo.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qif2ldx::app {

// The account list file "olacclst.dat": one account a line, six comma-separated fields (name,
// type, currency, account number, branch number, bank id), read as Windows-1252. Lines end in
// CR LF, LF or CR. The list is read as a person writes it: blanks and tabs around each field are
// dropped, the type is compared without regard to letter case and kept in upper case, a line
// that holds nothing else is skipped, and a line that names no account (no comma, or an empty
// name) is skipped and told of, while the lines after it are still read.

inline constexpr const char* kAccountListName = "olacclst.dat";

// The account list in the program's own folder.
[[nodiscard]] std::string DefaultAccountList(const platform::IProgramFolder& objProgramFolder);

// The user's own account list, "qif2ldx/olacclst.dat" in their configuration folder:
// $XDG_CONFIG_HOME, or ~/.config when that is unset, empty or not an absolute path. Empty when
// neither that nor HOME is known. Whether the file exists plays no part.
[[nodiscard]] std::string UserAccountList(const platform::IEnvironment& objEnvironment);

// The account list that the dialog, `accounts` and `convert` read: sGiven (--account-list)
// when it is not empty; otherwise the user's own list when it exists and is not a folder;
// otherwise the list in the program's folder.
[[nodiscard]] std::string ResolveAccountList(const std::string& sGiven,
                                             const platform::IProgramFolder& objProgramFolder,
                                             const platform::IEnvironment& objEnvironment);

// A line of the list that names no account.
struct AccountLineFault
{
    std::int64_t line = 0;  // counting from 1
    bool bolNoComma = true; // no comma; otherwise the name before the first comma is empty
};

// One account of the list, its fields trimmed and its type in upper case.
struct AccountEntry
{
    records::CAcctInfo cAcctInf;
    std::int64_t line = 0; // counting from 1
    bool bolShort = false; // the line has fewer than six fields: the missing ones are empty
};

// What the list holds.
struct AccountListContents
{
    std::vector<AccountEntry> accounts;   // in file order, not sorted, not de-duplicated
    std::vector<AccountLineFault> faults; // the lines skipped, in file order
    bool bolRead = false;                 // the file could be read
    platform::Reason reason{};            // why not, when it could not
};

// Reads the whole list. bolRead is false for an empty path, a missing or unreadable file and
// anything that is not a regular file; the contents are then empty.
[[nodiscard]] AccountListContents ReadAccountList(const std::string& sListFile);

// "cannot read the account list /: it is a folder".
[[nodiscard]] std::string CannotReadAccountList(const std::string& sListFile,
                                                const platform::Reason& reason);

// "the account list /home/you/olacclst.dat, line 3, has no comma; it was skipped".
[[nodiscard]] std::string DescribeFault(const std::string& sListFile,
                                        const AccountLineFault& fault);

struct AccountNames
{
    std::vector<std::string> names; // in file order, not sorted, not de-duplicated
    bool bolComplete = false;       // the file was read (lines that name no account skipped)
};

// The names for the account drop list, in file order.
[[nodiscard]] AccountNames ReadAccountNames(const std::string& sListFile);

// Fills cAcctInf from the last line whose name equals sAcctName with its leading and trailing
// spaces removed (exact, case-sensitive). True when the file was read, matching or not, unless
// the matching line has fewer than six fields (the missing ones are then empty); false too
// when it cannot be read.
bool LoadAccountInfo(const std::string& sListFile, const std::string& sAcctName,
                     records::CAcctInfo& cAcctInf);

// What the account look-up found.
enum class AccountLookup
{
    Found,
    NotListed,      // the list was read; no line names the account
    IncompleteLine, // the account's line has fewer than six fields: the missing ones are empty
    ListUnreadable  // the list could not be read: every account field is empty
};

// LoadAccountInfo, telling what it found.
[[nodiscard]] AccountLookup LookUpAccount(const std::string& sListFile,
                                          const std::string& sAcctName,
                                          records::CAcctInfo& cAcctInf);

} // namespace qif2ldx::app
