// SPDX-License-Identifier: MIT
#include "platform/StagedFile.h"

#include "platform/FileSystem.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
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

// A random name for a private file: sPrefix, eight hexadecimal digits and the ending.
std::string RandomName(const std::string& sPrefix)
{
    static thread_local std::random_device random;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(random()));
    return sPrefix + suffix + std::string(kEnding);
}

// The permissions a new file gets from the umask: 0666 less what it masks. Read from the
// process's status, so that the umask is never changed to be read.
mode_t ModeFromUmask()
{
    std::ifstream status("/proc/self/status");
    std::string sLine;
    while (std::getline(status, sLine)) {
        if (sLine.rfind("Umask:", 0) == 0) {
            return 0666 & ~static_cast<mode_t>(std::strtoul(sLine.c_str() + 6, nullptr, 8));
        }
    }
    const mode_t mask = ::umask(022); // a kernel too old to tell: set it back at once
    ::umask(mask);
    return 0666 & ~mask;
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
    return NameLeadsTo(sPath, fd);
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
    static_cast<void>(RemoveHeldFile(sPath, file.Get()));
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

PlaceResult PlaceFailed(Reason reason)
{
    return {Placement::Failed, reason};
}

// True when the entry sName in the folder (a symbolic link not followed) is the file open on fd.
bool EntryLeadsTo(int folder, const std::string& sName, int fd)
{
    struct stat held
    {};
    struct stat named
    {};
    return ::fstat(fd, &held) == 0 &&
           ::fstatat(folder, sName.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// True when the descriptors of this process can be named through /proc.
bool ProcessFilesNamed()
{
    return ::access("/proc/self/fd", F_OK) == 0;
}

// Gives the file open on fd the name sFinal in the folder, as a new link to exactly that file
// (whatever its working name leads to by now): never replacing what is at sFinal (Exists). Not
// done (nullopt) where the file system has no hard links or /proc is not mounted.
std::optional<PlaceResult> LinkInPlace(int fd, int folder, const std::string& sWorking,
                                       const std::string& sFinal)
{
    const std::string sHeld = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, sHeld.c_str(), folder, sFinal.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        // The working name is this run's own: whatever it leads to now may go.
        static_cast<void>(::unlinkat(folder, sWorking.c_str(), 0));
        return PlaceResult{Placement::Placed};
    }
    if (errno == EEXIST) {
        return PlaceResult{Placement::Exists};
    }
    if (errno == EPERM || errno == EOPNOTSUPP || errno == EXDEV ||
        (errno == ENOENT && !ProcessFilesNamed())) {
        return std::nullopt;
    }
    return PlaceFailed(LastReason());
}

// Exchanges the working file with what is at sFinal, in one step, then checks that the file now
// at sFinal is the file open on fd. When it is not (another file took the working name before
// the exchange), or when a folder was at sFinal, the exchange is undone, so that the path keeps
// what it held. The old statement, now under the working name, is then removed. A missing
// sFinal is linked as new. Not done (nullopt) where the file system cannot exchange names.
std::optional<PlaceResult> ExchangeInPlace(int fd, int folder, const std::string& sWorking,
                                           const std::string& sFinal)
{
    const auto exchange = [&] {
        return ::renameat2(folder, sWorking.c_str(), folder, sFinal.c_str(), RENAME_EXCHANGE) == 0;
    };
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!exchange()) {
            if (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) {
                return std::nullopt;
            }
            if (errno != ENOENT) {
                return PlaceFailed(LastReason());
            }
            // Nothing at the path (or nothing under the working name): the held file is linked
            // there; a file that appeared there meanwhile is exchanged on the next attempt.
            std::optional<PlaceResult> linked = LinkInPlace(fd, folder, sWorking, sFinal);
            if (!linked || linked->placement != Placement::Exists) {
                return linked;
            }
            continue;
        }
        struct stat old
        {};
        const bool bolFolder =
            ::fstatat(folder, sWorking.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISDIR(old.st_mode);
        if (bolFolder || !EntryLeadsTo(folder, sFinal, fd)) {
            static_cast<void>(exchange());
            return PlaceFailed(bolFolder ? ReasonOf(EISDIR) : Reason{ReasonKind::Replaced, 0});
        }
        static_cast<void>(::unlinkat(folder, sWorking.c_str(), 0));
        return PlaceResult{Placement::Placed};
    }
    return PlaceFailed({ReasonKind::Replaced, 0}); // the working name is gone
}

// Renames the working file onto sFinal, for file systems that can neither link nor exchange
// (FAT): the working name is checked to lead to the held file just before, and the path just
// after. A swap in the moment between the check and the rename cannot be excluded there.
PlaceResult RenameInPlace(int fd, int folder, const std::string& sWorking,
                          const std::string& sFinal, bool bolReplace)
{
    if (!EntryLeadsTo(folder, sWorking, fd)) {
        return PlaceFailed({ReasonKind::Replaced, 0});
    }
    const char* from = sWorking.c_str();
    const char* to = sFinal.c_str();
    if (!bolReplace && ::renameat2(folder, from, folder, to, RENAME_NOREPLACE) != 0) {
        if (errno == EEXIST) {
            return {Placement::Exists};
        }
        if (errno != EINVAL && errno != ENOSYS) {
            return PlaceFailed(LastReason());
        }
        // A rename that cannot refuse to replace either: look, then rename.
        struct stat info
        {};
        if (::fstatat(folder, to, &info, AT_SYMLINK_NOFOLLOW) == 0) {
            return {Placement::Exists};
        }
        bolReplace = true;
    }
    if (bolReplace && ::renameat(folder, from, folder, to) != 0) {
        return PlaceFailed(LastReason());
    }
    if (!EntryLeadsTo(folder, sFinal, fd)) {
        return PlaceFailed({ReasonKind::Replaced, 0});
    }
    return {Placement::Placed};
}

} // namespace

bool RemoveHeldFile(const std::string& sPath, int fd)
{
    const std::string sAside = FolderOf(sPath) + RandomName(".qif2ldx-removed.");
    if (::renameat2(AT_FDCWD, sPath.c_str(), AT_FDCWD, sAside.c_str(), RENAME_NOREPLACE) != 0) {
        // A file system whose rename cannot refuse to replace: look, then remove.
        return (errno == EINVAL || errno == ENOSYS) && NameLeadsTo(sPath, fd) &&
               ::unlink(sPath.c_str()) == 0;
    }
    if (NameLeadsTo(sAside, fd)) {
        return ::unlink(sAside.c_str()) == 0;
    }
    // Another file took the name meanwhile: it goes back where it was found.
    static_cast<void>(
        ::renameat2(AT_FDCWD, sAside.c_str(), AT_FDCWD, sPath.c_str(), RENAME_NOREPLACE));
    return false;
}

bool RemoveDanglingLink(const std::string& sPath)
{
    const UniqueFd link(::open(sPath.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    struct stat info
    {};
    struct stat target
    {};
    return link && ::fstat(link.Get(), &info) == 0 && S_ISLNK(info.st_mode) &&
           ::stat(sPath.c_str(), &target) != 0 && errno == ENOENT &&
           RemoveHeldFile(sPath, link.Get());
}

StagedFile::StagedFile(std::string sFinalPath, std::string sPath, UniqueFd fd, Audience audience)
    : sFinalPath_(std::move(sFinalPath)), sPath_(std::move(sPath)), fd_(std::move(fd)),
      audience_(audience)
{}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : sFinalPath_(std::move(other.sFinalPath_)), sPath_(std::move(other.sPath_)),
      fd_(std::move(other.fd_)), audience_(other.audience_)
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
        audience_ = other.audience_;
    }
    return *this;
}

StagedFile::~StagedFile()
{
    Discard();
}

StagedFile::Created StagedFile::Create(const std::string& sFinalPath, Audience audience)
{
    if (NameOf(sFinalPath).size() > NAME_MAX) {
        return {std::nullopt, ReasonOf(ENAMETOOLONG)}; // no folder takes the final name
    }
    const std::string sPrefix = FolderOf(sFinalPath) + PrivatePrefix(sFinalPath);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string sPath = RandomName(sPrefix);
        UniqueFd file(
            ::open(sPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (file && LockNew(file.Get(), sPath)) {
            return {StagedFile(sFinalPath, std::move(sPath), std::move(file), audience), {}};
        }
        if (!file && errno != EEXIST) {
            return {std::nullopt, LastReason()};
        }
    }
    return {std::nullopt, ReasonOf(EEXIST)};
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

Done StagedFile::Sync() const
{
    if (!fd_) {
        return {ReasonOf(EBADF)};
    }
    if (::fsync(fd_.Get()) != 0) {
        return {LastReason()};
    }
    return {};
}

StagedFile::PlaceResult StagedFile::Place(bool bolReplace)
{
    if (sPath_.empty()) {
        return PlaceFailed(ReasonOf(ENOENT));
    }
    // A working name taken by another file meanwhile means another program is at work in the
    // folder: the run says so rather than placing its file regardless.
    if (!NameLeadsTo(sPath_, fd_.Get())) {
        return PlaceFailed({ReasonKind::Replaced, 0});
    }
    const PlaceResult result = PlaceHeldFile(fd_.Get(), sPath_, sFinalPath_, bolReplace);
    if (result.placement != Placement::Placed) {
        return result;
    }
    sPath_.clear();
    if (audience_ == Audience::AsUmask) {
        // Given only now that the file is at its path. A file system without Unix modes (a FAT
        // memory stick) may refuse the change; the file is then as private as that file system
        // makes it.
        static_cast<void>(::fchmod(fd_.Get(), ModeFromUmask()));
    }
    SyncFolder(FolderOf(sFinalPath_));
    return result;
}

StagedFile::PlaceResult PlaceHeldFile(int fd, const std::string& sWorkingPath,
                                      const std::string& sFinalPath, bool bolReplace)
{
    // Every step acts in the one folder, even if the folder is renamed meanwhile.
    const UniqueFd folder(
        ::open(OpenableFolder(FolderOf(sFinalPath)).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder) {
        return PlaceFailed(LastReason());
    }
    // Only the file held open can reach the path: it is linked there, or exchanged with what
    // is there and checked, never renamed by a name another program could swap meanwhile.
    const std::string sWorking = NameOf(sWorkingPath);
    const std::string sFinal = NameOf(sFinalPath);
    const std::optional<PlaceResult> placed =
        bolReplace ? ExchangeInPlace(fd, folder.Get(), sWorking, sFinal)
                   : LinkInPlace(fd, folder.Get(), sWorking, sFinal);
    return placed ? *placed : RenameInPlace(fd, folder.Get(), sWorking, sFinal, bolReplace);
}

void StagedFile::Discard()
{
    if (!sPath_.empty()) {
        static_cast<void>(RemoveHeldFile(sPath_, fd_.Get()));
        sPath_.clear();
    }
}

} // namespace qif2ldx::platform
