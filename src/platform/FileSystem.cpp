// SPDX-License-Identifier: MIT
#include "platform/FileSystem.h"

#include <cerrno>
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

std::optional<FileIdentity> IdentityOf(int lngFileDescriptor) noexcept
{
    struct stat info
    {};
    if (::fstat(lngFileDescriptor, &info) != 0) {
        return std::nullopt;
    }
    return FileIdentity{info.st_dev, info.st_ino};
}

std::optional<FileIdentity> IdentityOf(const std::string& sPath) noexcept
{
    struct stat info
    {};
    if (sPath.empty() || ::stat(sPath.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return FileIdentity{info.st_dev, info.st_ino};
}

std::optional<std::string> ReadRegularFile(const std::string& sPath)
{
    // O_NONBLOCK keeps the open itself from waiting on a FIFO with no writer.
    const int fd = ::open(sPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat info
    {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (true) {
        if (done == bytes.size()) {
            // The file may have grown since it was measured; read on until the real end.
            bytes.resize(bytes.size() + 65536);
        }
        const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    ::close(fd);
    bytes.resize(done);
    return bytes;
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

} // namespace qif2ldx::platform
