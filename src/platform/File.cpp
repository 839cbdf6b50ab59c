// SPDX-License-Identifier: MIT
#include "platform/File.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qif2ldx::platform {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept
{
    if (this != &other) {
        Reset();
        fd_ = other.Release();
    }
    return *this;
}

int UniqueFd::Release()
{
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

bool UniqueFd::Reset()
{
    if (fd_ < 0) {
        return true;
    }
    // close() is never retried: on Linux the descriptor is gone even when it reports EINTR.
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    return closed;
}

UniqueFd OpenRegularFile(const std::string& sPath)
{
    UniqueFd file(::open(sPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file) {
        return file;
    }
    struct stat info
    {};
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        file.Reset();
        errno = EINVAL;
        return file;
    }
    // Reading a regular file never blocks; the flag only kept the open from waiting.
    static_cast<void>(::fcntl(file.Get(), F_SETFL, 0));
    return file;
}

UniqueFd OpenForWriting(const std::string& sPath)
{
    return UniqueFd(::open(sPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
}

UniqueFd OpenPipe(const std::string& sPath)
{
    UniqueFd pipe(::open(sPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info
    {};
    if (pipe && (::fstat(pipe.Get(), &info) != 0 || !S_ISFIFO(info.st_mode))) {
        pipe.Reset();
        errno = EINVAL;
    }
    return pipe;
}

std::optional<std::size_t> ReadPipe(int fd, char* buffer, std::size_t size,
                                    const std::function<bool()>& objStop)
{
    // A pipe opened without waiting reads as ended until its first writer comes, so the data
    // is waited for with poll, which reports the end only once a writer has been and gone.
    constexpr int kWaitMilliseconds = 200;
    for (;;) {
        if (objStop && objStop()) {
            errno = EINTR;
            return std::nullopt;
        }
        pollfd ready{fd, POLLIN, 0};
        const int count = ::poll(&ready, 1, kWaitMilliseconds);
        if (count < 0 && errno != EINTR) {
            return std::nullopt;
        }
        if (count <= 0) {
            continue;
        }
        const ssize_t got = ::read(fd, buffer, size);
        if (got >= 0) {
            return static_cast<std::size_t>(got);
        }
        if (errno != EAGAIN && errno != EINTR) {
            return std::nullopt;
        }
    }
}

std::optional<std::string> ReadAll(int fd, std::uint64_t maxBytes)
{
    struct stat info
    {};
    std::string bytes;
    std::size_t done = 0;
    std::size_t room = 0;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        const off_t at = ::lseek(fd, 0, SEEK_CUR);
        const std::uint64_t left =
            at >= 0 && at < info.st_size ? static_cast<std::uint64_t>(info.st_size - at) : 0;
        // One byte more than the file holds, so that its end is met without growing.
        room = static_cast<std::size_t>(std::min(left, maxBytes) + 1);
    }
    constexpr std::size_t kStep = std::size_t{1} << 16;
    while (true) {
        if (done == room) {
            room += kStep;
        }
        bytes.resize(room);
        const ssize_t got = ::read(fd, bytes.data() + done, room - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
        if (done > maxBytes) {
            errno = EFBIG;
            return std::nullopt;
        }
    }
    bytes.resize(done);
    return bytes;
}

namespace {

// Writes all of bytes through short writes and interruptions: at the descriptor's offset, or at
// the offset given, which then moves along with what was written.
bool WriteWhole(int fd, std::string_view bytes, std::optional<off_t> offset)
{
    while (!bytes.empty()) {
        const ssize_t written = offset ? ::pwrite(fd, bytes.data(), bytes.size(), *offset)
                                       : ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            if (written == 0) {
                errno = ENOSPC;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        if (offset) {
            *offset += written;
        }
    }
    return true;
}

} // namespace

bool WriteAll(int fd, std::string_view bytes)
{
    return WriteWhole(fd, bytes, std::nullopt);
}

bool WriteAllAt(int fd, std::string_view bytes, off_t offset)
{
    return WriteWhole(fd, bytes, offset);
}

bool ReadExactlyAt(int fd, char* buffer, std::size_t size, off_t offset)
{
    while (size > 0) {
        const ssize_t got = ::pread(fd, buffer, size, offset);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        buffer += got;
        size -= static_cast<std::size_t>(got);
        offset += got;
    }
    return true;
}

std::optional<std::size_t> ReadSomeAt(int fd, char* buffer, std::size_t size, std::uint64_t offset)
{
    for (;;) {
        const ssize_t got = ::pread(fd, buffer, size, static_cast<off_t>(offset));
        if (got >= 0) {
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR) {
            return std::nullopt;
        }
    }
}

} // namespace qif2ldx::platform
