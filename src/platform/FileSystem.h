// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Reason.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace qif2ldx::platform {

// True when the path names something that exists and is not a folder (a symbolic link counts as
// what it points to); false for a folder, a missing path, an empty text or any failure.
[[nodiscard]] bool FileExists(const std::string& sPath) noexcept;

// True when the path names a regular file (a symbolic link counts as what it points to).
[[nodiscard]] bool IsRegularFile(const std::string& sPath) noexcept;

// True when the path names a pipe: a FIFO, or a pipe reached through /dev/stdin or /dev/fd/N
// (a symbolic link counts as what it points to).
[[nodiscard]] bool IsPipe(const std::string& sPath) noexcept;

// Which file an open descriptor or a path refers to, whatever its name.
struct FileIdentity
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};
[[nodiscard]] std::optional<FileIdentity> IdentityOf(int fd) noexcept;
[[nodiscard]] std::optional<FileIdentity> IdentityOf(const std::string& sPath) noexcept;

// True when the path itself (a symbolic link not followed) names the file open on fd: it was
// neither removed nor replaced since. False on any failure.
[[nodiscard]] bool NameLeadsTo(const std::string& sPath, int fd) noexcept;

// The whole content of a regular file; fails when the path is missing, is not a regular file
// (a folder, a device, a FIFO: reading those could block or never end) or cannot be read, and
// with TooLarge when it holds more than maxBytes.
[[nodiscard]] Result<std::string>
ReadRegularFile(const std::string& sPath,
                std::uint64_t maxBytes = std::numeric_limits<std::uint64_t>::max());

// Makes the file at sPath the user's alone before it is written: a missing file is created empty
// with mode 0600 (its missing folders with 0700), an existing one loses what it grants group and
// others. A program that replaces the file through a copy of its permissions (QSaveFile) then
// builds the copy private too. A symbolic link is never followed. Anything at sPath that is not a
// regular file (a FIFO, a device, a socket) is refused with NotAFile, never waited on.
[[nodiscard]] Done MakePrivateFile(const std::string& sPath);

// Renames sFrom to sTo in one step, never replacing a file at sTo (Exists then); NoSuchFile when
// there is nothing at sFrom. A symbolic link at sFrom is renamed itself.
[[nodiscard]] Done RenameNoReplace(const std::string& sFrom, const std::string& sTo);

// Whether the program may create and replace files in the folder (empty: the current one), as
// the system judges it for this process; the reason when it may not.
[[nodiscard]] Done CanWriteIn(const std::string& sFolder);
// Whether the program may write the file, as the system judges it for this process; the reason
// when it may not.
[[nodiscard]] Done CanWriteFile(const std::string& sPath);

// The path by which other programs should be given the file: its absolute form when it exists,
// empty otherwise (Linux has no separate short form of a path).
[[nodiscard]] std::string ShortPath(const std::string& sPath);

// True when both paths name the same existing file, whatever the spelling, links included.
[[nodiscard]] bool IsSameFile(const std::string& sFirst, const std::string& sSecond) noexcept;

// True when the path names a folder (following links).
[[nodiscard]] bool IsDirectory(const std::string& sPath) noexcept;

// The folder for temporary files: $TMPDIR when it is set, /tmp otherwise.
[[nodiscard]] std::string TemporaryFolder();

} // namespace qif2ldx::platform
