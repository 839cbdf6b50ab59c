// SPDX-License-Identifier: MIT
#pragma once

#include "platform/FileSystem.h"
#include "platform/IEnvironment.h"
#include "platform/IProgramFolder.h"

#include <string>

namespace qif2ldx::app {

// True only for a path that exists and is not a folder.
using platform::FileExists;

// Told when the statement path names the QIF file itself: writing the statement would destroy
// the file it is made from.
inline constexpr const char* kSameFileMessage =
    "The converted file would replace the QIF file it is converted from. Please specify another "
    "name for the converted file in the 'Save Converted File As' edit box.";

// The program's own folder, always ending in exactly one "/".
[[nodiscard]] std::string AppPath(const platform::IProgramFolder& objProgramFolder);

// A file of the program's own in the user's configuration folder, "qif2ldx/NAME" under
// $XDG_CONFIG_HOME, or under ~/.config when that is unset, empty or not an absolute path. Empty
// when HOME is not an absolute path either. Whether the file exists plays no part.
[[nodiscard]] std::string UserConfigFile(const platform::IEnvironment& objEnvironment,
                                         const std::string& sName);

// A file of the program's own in the user's data folder, "qif2ldx/NAME" under $XDG_DATA_HOME,
// or under ~/.local/share when that is unset, empty or not an absolute path. Empty when HOME is
// not an absolute path either.
[[nodiscard]] std::string UserDataFile(const platform::IEnvironment& objEnvironment,
                                       const std::string& sName);

// The path made absolute against the current folder, with "." and ".." steps and the links of
// the folders that exist resolved, as the program names the files it remembers. The path as
// given when it cannot be resolved.
[[nodiscard]] std::string AbsolutePath(const std::string& sPath);

// The path up to and including the "." that begins its file name's extension, so that an
// extension can follow: "May.2026.qif" gives "May.2026.". Only the file's own name (after the
// last "/") counts, and dots that begin it make a hidden name, not an extension: a name without
// an extension gives the whole path with "." added ("j.smith/statement" gives
// "j.smith/statement.").
[[nodiscard]] std::string GetPathBeforeExtension(const std::string& sPath);

// The text up to and including its last "/" (the folder with its separator); empty when it has
// none.
[[nodiscard]] std::string GetFolderPath(const std::string& sPath);

// True when a trimmed statement path is longer than 4 characters and ends in exactly ".LDX" or
// exactly ".ldx".
[[nodiscard]] bool IsStatementFileName(const std::string& sLDXPath);

// True when the trimmed statement path names the trimmed QIF path itself: the same text, or the
// same file by another spelling or link.
[[nodiscard]] bool IsSameFileAsInput(const std::string& sLDXPath, const std::string& sQIFPath);

// A path typed as a shell would take it: the text trimmed of spaces, with a leading "~/" made
// the home folder (HOME); the trimmed text as it is otherwise, or when HOME is not known.
[[nodiscard]] std::string ExpandHome(const std::string& sText,
                                     const platform::IEnvironment& objEnvironment);

// Text with its leading and trailing spaces removed (spaces only, not tabs).
[[nodiscard]] std::string Trim(const std::string& sText);

} // namespace qif2ldx::app
