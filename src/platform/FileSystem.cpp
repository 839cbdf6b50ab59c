// SPDX-License-Identifier: MIT
#include "platform/FileSystem.h"

#include "platform/File.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace qif2ldx::platform {

bool FileExists(const std::string& sPath) noexcept
{
    struct stat info
    {};
    if (sPath.empty() || ::stat(sPath.c_str(), &info) != 0) {
        return false;
    }
    return !S_ISDIR(info.st_mode);
}

bool IsRegularFile(const std::string& sPath) noexcept
{
    struct stat info
    {};
    return !sPath.empty() && ::stat(sPath.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsPipe(const std::string& sPath) noexcept
{
    struct stat info
    {};
    return !sPath.empty() && ::stat(sPath.c_str(), &info) == 0 && S_ISFIFO(info.st_mode);
}

std::optional<FileIdentity> IdentityOf(int fd) noexcept
{
    struct stat info
    {};
    if (::fstat(fd, &info) != 0) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino)};
}

std::optional<FileIdentity> IdentityOf(const std::string& sPath) noexcept
{
    struct stat info
    {};
    if (sPath.empty() || ::stat(sPath.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino)};
}

bool NameLeadsTo(const std::string& sPath, int fd) noexcept
{
    struct stat held
    {};
    struct stat named
    {};
    return ::fstat(fd, &held) == 0 && ::lstat(sPath.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

Result<std::string> ReadRegularFile(const std::string& sPath, std::uint64_t maxBytes)
{
    const Result<UniqueFd> file = OpenRegularFile(sPath);
    if (!file) {
        return Failed<std::string>(file.reason);
    }
    return ReadAll(file.value.Get(), maxBytes);
}

Done MakePrivateFile(const std::string& sPath)
{
    std::error_code ignored; // a folder that cannot be made fails the open below
    const std::filesystem::path folder = std::filesystem::path(sPath).parent_path();
    if (!folder.empty() && !std::filesystem::exists(folder, ignored)) {
        std::filesystem::create_directories(folder, ignored);
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, ignored);
    }
    const UniqueFd file(
        ::open(sPath.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
    struct stat info
    {};
    if (!file || ::fstat(file.Get(), &info) != 0) {
        return {LastReason()};
    }
    if (!S_ISREG(info.st_mode)) {
        // A FIFO, a device or a socket: whoever opens it next would wait on it, or read what is
        // no file of the program's.
        return {{ReasonKind::NotAFile, 0}};
    }
    if ((info.st_mode & 0077) != 0 && ::fchmod(file.Get(), info.st_mode & 0700) != 0) {
        return {LastReason()};
    }
    return {};
}

Done RenameNoReplace(const std::string& sFrom, const std::string& sTo)
{
    if (::renameat2(AT_FDCWD, sFrom.c_str(), AT_FDCWD, sTo.c_str(), RENAME_NOREPLACE) != 0) {
        return {LastReason()};
    }
    return {};
}

Done CanWriteIn(const std::string& sFolder)
{
    const std::string sOpenable = sFolder.empty() ? std::string(".") : sFolder;
    if (::access(sOpenable.c_str(), W_OK | X_OK) != 0) {
        return {LastReason()};
    }
    return {};
}

Done CanWriteFile(const std::string& sPath)
{
    if (::access(sPath.c_str(), W_OK) != 0) {
        return {LastReason()};
    }
    return {};
}

std::string ShortPath(const std::string& sPath)
{
    std::error_code error;
    if (sPath.empty() || !std::filesystem::exists(sPath, error)) {
        return {};
    }
    const std::filesystem::path absolute = std::filesystem::absolute(sPath, error);
    return error ? std::string() : absolute.lexically_normal().string();
}

bool IsSameFile(const std::string& sFirst, const std::string& sSecond) noexcept
{
    struct stat first
    {};
    struct stat second
    {};
    if (sFirst.empty() || sSecond.empty() || ::stat(sFirst.c_str(), &first) != 0 ||
        ::stat(sSecond.c_str(), &second) != 0) {
        return false;
    }
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool IsDirectory(const std::string& sPath) noexcept
{
    struct stat info
    {};
    return ::stat(sPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string TemporaryFolder()
{
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && *folder != '\0' ? std::string(folder) : std::string("/tmp");
}

} // namespace qif2ldx::platform
