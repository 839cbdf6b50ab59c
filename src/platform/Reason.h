// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <utility>

namespace qif2ldx::platform {

// What kind of failure the system reported; the front ends word each kind their own way.
enum class ReasonKind
{
    None,             // nothing failed
    NoSuchFile,       // ENOENT: the file, or a folder on its way, does not exist
    Folder,           // EISDIR: a folder where a file was meant
    NotAFile,         // a device, a FIFO or a socket where a regular file was meant
    PermissionDenied, // EACCES, EPERM
    ReadOnly,         // EROFS: the file system is mounted read-only
    DiskFull,         // ENOSPC, EDQUOT
    TooLarge,    // EFBIG: past a size limit (the file system's, the process's, or the reader's)
    NoMemory,    // ENOMEM
    Closed,      // EBADF: no such descriptor (a closed standard input)
    Exists,      // EEXIST
    Interrupted, // the user asked to stop
    Replaced,    // a name no longer leads to the file the program holds open
    Other        // anything else: the system's number says what
};

// Why a call into the system failed: the kind, and the system's own number (an errno value; 0
// where the program itself found the failure).
struct Reason
{
    ReasonKind kind = ReasonKind::None;
    int number = 0;

    bool operator==(const Reason&) const = default;
};

// The reason for the system's error number.
[[nodiscard]] Reason ReasonOf(int number) noexcept;

// The reason for the error number the last failed call into the system left behind. Only for the
// platform's own use, right after the call that failed.
[[nodiscard]] Reason LastReason() noexcept;

// The system's own words for the reason's number ("No such file or directory"); for a reason the
// program found itself, its kind in a few words.
[[nodiscard]] std::string SystemWords(const Reason& reason);

// What a call that gives nothing back came to: true when it succeeded; reason says why not.
struct Done
{
    Reason reason{};

    [[nodiscard]] explicit operator bool() const noexcept
    {
        return reason.kind == ReasonKind::None;
    }
};

// What a call that gives a value came to: the value when it succeeded (true); reason says why
// not.
template <typename T> struct Result
{
    T value{};
    Reason reason{};

    [[nodiscard]] explicit operator bool() const noexcept
    {
        return reason.kind == ReasonKind::None;
    }
};

// A failed result of any value type.
template <typename T> [[nodiscard]] Result<T> Failed(Reason reason)
{
    return {T{}, reason};
}

} // namespace qif2ldx::platform
