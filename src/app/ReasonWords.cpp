// SPDX-License-Identifier: MIT
#include "app/ReasonWords.h"

#include "platform/Text.h"

namespace qif2ldx::app {

std::string ReasonWords(const platform::Reason& reason)
{
    using platform::ReasonKind;
    switch (reason.kind) {
    case ReasonKind::None:
        return {};
    case ReasonKind::NoSuchFile:
        return "no such file";
    case ReasonKind::Folder:
        return "it is a folder";
    case ReasonKind::NotAFile:
        return "it is not a regular file";
    case ReasonKind::PermissionDenied:
        return "permission denied";
    case ReasonKind::ReadOnly:
        return "the file system is read-only";
    case ReasonKind::DiskFull:
        return "the disk is full";
    case ReasonKind::TooLarge:
        return "the file is too large";
    case ReasonKind::NoMemory:
        return "there is not enough memory";
    case ReasonKind::Closed:
        return "it is closed";
    case ReasonKind::Exists:
        return "a file of that name exists";
    case ReasonKind::Interrupted:
        return "interrupted";
    case ReasonKind::Replaced:
        return "another file took the working file's name";
    case ReasonKind::Other:
        break;
    }
    // The system's words begin a sentence of their own ("Input/output error").
    std::string sWords = platform::SystemWords(reason);
    if (sWords.size() > 1 && sWords[0] >= 'A' && sWords[0] <= 'Z' &&
        !(sWords[1] >= 'A' && sWords[1] <= 'Z')) {
        sWords[0] = static_cast<char>(sWords[0] - 'A' + 'a');
    }
    return sWords;
}

} // namespace qif2ldx::app
