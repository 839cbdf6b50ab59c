// SPDX-License-Identifier: MIT
#include "platform/StagedFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace qif2ldx::platform {
namespace {

std::string FolderOf(const std::string& sPath)
{
    const std::size_t slash = sPath.rfind('/');
    return slash == std::string::npos ? std::string(".") : sPath.substr(0, slash + 1);
}

std::string NameOf(const std::string& sPath)
{
    const std::size_t slash = sPath.rfind('/');
    return slash == std::string::npos ? sPath : sPath.substr(slash + 1);
}

// Makes the rename itself durable: the folder's entry is flushed too. Failures are ignored, the
// file is in place either way.
void SyncFolder(const std::string& sFolder)
{
    const UniqueFd folder(::open(sFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder) {
        static_cast<void>(::fsync(folder.Get()));
    }
}

// Puts from at to unless to exists: link then unlink, for file systems whose rename cannot
// refuse to replace.
StagedFile::Placement LinkInPlace(const std::string& from, const std::string& to)
{
    if (::link(from.c_str(), to.c_str()) == 0) {
        static_cast<void>(::unlink(from.c_str()));
        return StagedFile::Placement::Placed;
    }
    if (errno == EEXIST) {
        return StagedFile::Placement::Exists;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS) {
        return StagedFile::Placement::Failed;
    }
    // A file system without hard links either: look, then rename. Another process could
    // create the file in between; no better is possible there.
    struct stat info
    {};
    if (::lstat(to.c_str(), &info) == 0) {
        return StagedFile::Placement::Exists;
    }
    return std::rename(from.c_str(), to.c_str()) == 0 ? StagedFile::Placement::Placed
                                                      : StagedFile::Placement::Failed;
}

} // namespace

StagedFile::StagedFile(std::string sFinalPath, std::string sPath)
    : sFinalPath_(std::move(sFinalPath)), sPath_(std::move(sPath))
{}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : sFinalPath_(std::move(other.sFinalPath_)), sPath_(std::move(other.sPath_))
{
    other.sPath_.clear();
}

StagedFile::~StagedFile()
{
    Discard();
}

std::optional<StagedFile> StagedFile::Create(const std::string& sFinalPath)
{
    // The private name stays within the longest name a folder takes, however long the final one.
    constexpr std::size_t kMaxNamePart = 200;
    const std::string sPrefix =
        FolderOf(sFinalPath) + "." + NameOf(sFinalPath).substr(0, kMaxNamePart) + ".";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(random()));
        const std::string sPath = sPrefix + suffix + ".tmp";
        const UniqueFd file(
            ::open(sPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (file) {
            return StagedFile(sFinalPath, sPath);
        }
        if (errno != EEXIST) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

bool StagedFile::Sync() const
{
    const UniqueFd file(::open(sPath_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    return file && ::fsync(file.Get()) == 0;
}

StagedFile::Placement StagedFile::Place(bool bolReplace)
{
    if (sPath_.empty()) {
        errno = ENOENT;
        return Placement::Failed;
    }
    Placement placement = Placement::Failed;
    if (bolReplace) {
        placement = std::rename(sPath_.c_str(), sFinalPath_.c_str()) == 0 ? Placement::Placed
                                                                          : Placement::Failed;
    } else if (::renameat2(AT_FDCWD, sPath_.c_str(), AT_FDCWD, sFinalPath_.c_str(),
                           RENAME_NOREPLACE) == 0) {
        placement = Placement::Placed;
    } else if (errno == EEXIST) {
        placement = Placement::Exists;
    } else if (errno == EINVAL || errno == ENOSYS) {
        placement = LinkInPlace(sPath_, sFinalPath_);
    }
    if (placement == Placement::Placed) {
        sPath_.clear();
        SyncFolder(FolderOf(sFinalPath_));
    }
    return placement;
}

void StagedFile::Discard()
{
    if (!sPath_.empty()) {
        static_cast<void>(::unlink(sPath_.c_str()));
        sPath_.clear();
    }
}

} // namespace qif2ldx::platform
