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

using Placement = StagedFile::Placement;
using PlaceResult = StagedFile::PlaceResult;

PlaceResult Failed()
{
    return {Placement::Failed, errno};
}

// Puts from at to unless to exists: link then unlink, for file systems whose rename cannot
// refuse to replace.
PlaceResult LinkInPlace(const std::string& from, const std::string& to)
{
    if (::link(from.c_str(), to.c_str()) == 0) {
        static_cast<void>(::unlink(from.c_str()));
        return {Placement::Placed};
    }
    if (errno == EEXIST) {
        return {Placement::Exists};
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS) {
        return Failed();
    }
    // A file system without hard links either: look, then rename. Another process could
    // create the file in between; no better is possible there.
    struct stat info
    {};
    if (::lstat(to.c_str(), &info) == 0) {
        return {Placement::Exists};
    }
    return std::rename(from.c_str(), to.c_str()) == 0 ? PlaceResult{Placement::Placed} : Failed();
}

} // namespace

StagedFile::StagedFile(std::string sFinalPath, std::string sPath, UniqueFd fd)
    : sFinalPath_(std::move(sFinalPath)), sPath_(std::move(sPath)), fd_(std::move(fd))
{}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : sFinalPath_(std::move(other.sFinalPath_)), sPath_(std::move(other.sPath_)),
      fd_(std::move(other.fd_))
{
    other.sPath_.clear();
}

StagedFile& StagedFile::operator=(StagedFile&& other) noexcept
{
    if (this != &other) {
        Discard();
        sFinalPath_ = std::move(other.sFinalPath_);
        sPath_ = std::move(other.sPath_);
        other.sPath_.clear();
        fd_ = std::move(other.fd_);
    }
    return *this;
}

StagedFile::~StagedFile()
{
    Discard();
}

StagedFile::Created StagedFile::Create(const std::string& sFinalPath, mode_t mode)
{
    // The private name stays within the longest name a folder takes, however long the final one.
    constexpr std::size_t kMaxNamePart = 200;
    const std::string sPrefix =
        FolderOf(sFinalPath) + "." + NameOf(sFinalPath).substr(0, kMaxNamePart) + ".";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(random()));
        std::string sPath = sPrefix + suffix + ".tmp";
        UniqueFd file(
            ::open(sPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
        if (file) {
            return {StagedFile(sFinalPath, std::move(sPath), std::move(file))};
        }
        if (errno != EEXIST) {
            return {std::nullopt, errno};
        }
    }
    return {std::nullopt, EEXIST};
}

bool StagedFile::Sync() const
{
    return fd_ && ::fsync(fd_.Get()) == 0;
}

StagedFile::PlaceResult StagedFile::Place(bool bolReplace)
{
    if (sPath_.empty()) {
        return {Placement::Failed, ENOENT};
    }
    PlaceResult result;
    if (bolReplace) {
        result = std::rename(sPath_.c_str(), sFinalPath_.c_str()) == 0
                     ? PlaceResult{Placement::Placed}
                     : Failed();
    } else if (::renameat2(AT_FDCWD, sPath_.c_str(), AT_FDCWD, sFinalPath_.c_str(),
                           RENAME_NOREPLACE) == 0) {
        result = {Placement::Placed};
    } else if (errno == EEXIST) {
        result = {Placement::Exists};
    } else if (errno == EINVAL || errno == ENOSYS) {
        result = LinkInPlace(sPath_, sFinalPath_);
    } else {
        result = Failed();
    }
    if (result.placement == Placement::Placed) {
        sPath_.clear();
        SyncFolder(FolderOf(sFinalPath_));
    }
    return result;
}

void StagedFile::Discard()
{
    if (!sPath_.empty()) {
        static_cast<void>(::unlink(sPath_.c_str()));
        sPath_.clear();
    }
}

} // namespace qif2ldx::platform
