// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IEnvironment.h"
#include "platform/IProgramFolder.h"
#include "records/CAcctInfo.h"

#include <string>
#include <vector>

namespace qif2ldx::app {

// The account list file "olacclst.dat": one account a line, six comma-separated fields (name,
// type, currency, account number, branch number, bank id), read as Windows-1252. Lines end in
// CR LF, LF or CR; empty lines are skipped; a line of blanks is not empty.

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

struct AccountNames
{
    std::vector<std::string> names; // in file order, not sorted, not de-duplicated
    bool bolComplete = false;       // the whole file was read
};

// The names for the account drop list: the text before the first comma of each non-empty line.
// Reading stops at a missing or unreadable file, or at a non-empty line without a comma; the
// names found before stay, and bolComplete is false.
[[nodiscard]] AccountNames ReadAccountNames(const std::string& sListFile);

// Fills cAcctInf from the last line whose first field equals sAcctName with its leading and
// trailing spaces removed (field 1 is not trimmed; exact, case-sensitive). True when the file
// was read to its end, matching or not; false when it cannot be read or a matching line has
// fewer than six fields, in which case the fields present on that line are already set.
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
