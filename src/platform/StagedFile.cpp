// SPDX-License-Identifier: MIT
#include "platform/StagedFile.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <random>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace qif2ldx::platform {
namespace {

// The folder part of a path with its "/"; empty for a bare name, which is in the current folder.
std::string FolderOf(const std::string& sPath)
{
    const std::size_t slash = sPath.rfind('/');
    return slash == std::string::npos ? std::string() : sPath.substr(0, slash + 1);
}

// The folder as it is opened: the current folder is ".".
std::string OpenableFolder(const std::string& sFolder)
{
    return sFolder.empty() ? std::string(".") : sFolder;
}

std::string NameOf(const std::string& sPath)
{
    const std::size_t slash = sPath.rfind('/');
    return slash == std::string::npos ? sPath : sPath.substr(slash + 1);
}

// The private name stays within the longest name a folder takes, however long the final one.
constexpr std::size_t kMaxNamePart = 200;
// The random part of a private name: eight hexadecimal digits.
constexpr std::size_t kRandomDigits = 8;
constexpr std::string_view kEnding = ".tmp";

// The private names for sFinalPath begin with this, in the final path's folder.
std::string PrivatePrefix(const std::string& sFinalPath)
{
    return "." + NameOf(sFinalPath).substr(0, kMaxNamePart) + ".";
}

// True when sEntry is sPrefix, the random digits and the ending.
bool IsPrivateName(const std::string& sEntry, const std::string& sPrefix)
{
    const std::size_t size = sPrefix.size() + kRandomDigits + kEnding.size();
    if (sEntry.size() != size || sEntry.compare(0, sPrefix.size(), sPrefix) != 0 ||
        sEntry.compare(size - kEnding.size(), kEnding.size(), kEnding) != 0) {
        return false;
    }
    for (std::size_t i = sPrefix.size(); i < sPrefix.size() + kRandomDigits; ++i) {
        if (std::isxdigit(static_cast<unsigned char>(sEntry[i])) == 0) {
            return false;
        }
    }
    return true;
}

// True when the path still names the open file: it was neither removed nor replaced.
bool StillNamed(int fd, const std::string& sPath)
{
    struct stat held
    {};
    struct stat named
    {};
    return ::fstat(fd, &held) == 0 && ::lstat(sPath.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// Locks a new private file for as long as it is held open, which tells other processes that
// its writer lives. False when a process cleaning up took the file for a stale one before the
// lock was taken: it is removed, or about to be. Where the file system has no locks, the file
// goes unlocked, and nobody can take it for a stale one either.
bool LockNew(int fd, const std::string& sPath)
{
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        return errno != EWOULDBLOCK;
    }
    return StillNamed(fd, sPath);
}

// Removes the private file at sPath when no writer holds it. A file held, gone, replaced or
// not a regular file is left alone.
void RemoveIfStale(const std::string& sPath)
{
    const UniqueFd file(::open(sPath.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info
    {};
    if (!file || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        ::flock(file.Get(), LOCK_EX | LOCK_NB) != 0) {
        return;
    }
    // Removed while the lock is held, so that a writer that has just created the file finds,
    // once it gets the lock, that its name is gone.
    if (StillNamed(file.Get(), sPath)) {
        static_cast<void>(::unlink(sPath.c_str()));
    }
}

// Makes the rename itself durable: the folder's entry is flushed too. Failures are ignored, the
// file is in place either way.
void SyncFolder(const std::string& sFolder)
{
    const UniqueFd folder(
        ::open(OpenableFolder(sFolder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
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
    RemoveStale(sFinalPath);
    const std::string sPrefix = FolderOf(sFinalPath) + PrivatePrefix(sFinalPath);
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(random()));
        std::string sPath = sPrefix + suffix + std::string(kEnding);
        UniqueFd file(
            ::open(sPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
        if (file && LockNew(file.Get(), sPath)) {
            return {StagedFile(sFinalPath, std::move(sPath), std::move(file))};
        }
        if (!file && errno != EEXIST) {
            return {std::nullopt, errno};
        }
    }
    return {std::nullopt, EEXIST};
}

void StagedFile::RemoveStale(const std::string& sFinalPath)
{
    const std::string sFolder = FolderOf(sFinalPath);
    const std::string sPrefix = PrivatePrefix(sFinalPath);
    // Before the current folder was named without a folder part, a bare name's private file
    // began with two dots (".NAME" after the folder "."): those are still found.
    const std::string sOldPrefix = sFolder.empty() ? "." + sPrefix : std::string();
    const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(OpenableFolder(sFolder).c_str()),
                                                     ::closedir);
    if (!folder) {
        return;
    }
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(folder.get())) {
        const std::string sEntry = entry->d_name;
        if (IsPrivateName(sEntry, sPrefix) ||
            (!sOldPrefix.empty() && IsPrivateName(sEntry, sOldPrefix))) {
            stale.push_back(sFolder + sEntry);
        }
    }
    for (const std::string& sPath : stale) {
        RemoveIfStale(sPath);
    }
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
