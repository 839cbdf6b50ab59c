// SPDX-License-Identifier: MIT
#include "platform/Reason.h"

#include <cerrno>
#include <cstring>

namespace qif2ldx::platform {

Reason ReasonOf(int number) noexcept
{
    switch (number) {
    case 0:
        return {ReasonKind::Other, 0};
    case ENOENT:
    case ENOTDIR:
        return {ReasonKind::NoSuchFile, number};
    case EISDIR:
        return {ReasonKind::Folder, number};
    case EACCES:
    case EPERM:
        return {ReasonKind::PermissionDenied, number};
    case EROFS:
        return {ReasonKind::ReadOnly, number};
    case ENOSPC:
    case EDQUOT:
        return {ReasonKind::DiskFull, number};
    case EFBIG:
        return {ReasonKind::TooLarge, number};
    case ENOMEM:
        return {ReasonKind::NoMemory, number};
    case EBADF:
        return {ReasonKind::Closed, number};
    case EEXIST:
        return {ReasonKind::Exists, number};
    case EINTR:
        return {ReasonKind::Interrupted, number};
    default:
        return {ReasonKind::Other, number};
    }
}

Reason LastReason() noexcept
{
    return ReasonOf(errno);
}

std::string SystemWords(const Reason& reason)
{
    if (reason.number != 0) {
        char buffer[256] = {};
        // GNU strerror_r: the words may be in buffer or in a static text of the library's.
        return ::strerror_r(reason.number, buffer, sizeof buffer);
    }
    switch (reason.kind) {
    case ReasonKind::None:
        return {};
    case ReasonKind::NotAFile:
        return "Not a regular file";
    case ReasonKind::Interrupted:
        return "Interrupted";
    case ReasonKind::Replaced:
        return "The file was replaced";
    case ReasonKind::TooLarge:
        return "File too large";
    default:
        break;
    }
    return "Unknown error";
}

} // namespace qif2ldx::platform
