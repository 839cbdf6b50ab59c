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

Result<UniqueFd> OpenRegularFile(const std::string& sPath)
{
    UniqueFd file(::open(sPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file) {
        return Failed<UniqueFd>(LastReason());
    }
    struct stat info
    {};
    if (::fstat(file.Get(), &info) != 0) {
        return Failed<UniqueFd>(LastReason());
    }
    if (S_ISDIR(info.st_mode)) {
        return Failed<UniqueFd>(ReasonOf(EISDIR));
    }
    if (!S_ISREG(info.st_mode)) {
        return Failed<UniqueFd>({ReasonKind::NotAFile, 0});
    }
    // Reading a regular file never blocks; the flag only kept the open from waiting.
    static_cast<void>(::fcntl(file.Get(), F_SETFL, 0));
    return {std::move(file), {}};
}

Result<UniqueFd> OpenForWriting(const std::string& sPath)
{
    UniqueFd file(::open(sPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!file) {
        return Failed<UniqueFd>(LastReason());
    }
    return {std::move(file), {}};
}

Result<UniqueFd> OpenPipe(const std::string& sPath)
{
    UniqueFd pipe(::open(sPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!pipe) {
        return Failed<UniqueFd>(LastReason());
    }
    struct stat info
    {};
    if (::fstat(pipe.Get(), &info) != 0) {
        return Failed<UniqueFd>(LastReason());
    }
    if (!S_ISFIFO(info.st_mode)) {
        return Failed<UniqueFd>({ReasonKind::NotAFile, 0});
    }
    return {std::move(pipe), {}};
}

Result<std::size_t> ReadStream(int fd, char* buffer, std::size_t size,
                               const std::function<bool()>& objStop)
{
    // A pipe opened without waiting reads as ended until its first writer comes, so the data
    // is waited for with poll, which reports the end only once a writer has been and gone. The
    // wait is cut short so that a request to stop is seen within a fraction of a second, even
    // where a signal's handler lets a blocking read go on.
    constexpr int kWaitMilliseconds = 200;
    for (;;) {
        if (objStop && objStop()) {
            return Failed<std::size_t>({ReasonKind::Interrupted, 0});
        }
        pollfd ready{fd, POLLIN, 0};
        const int count = ::poll(&ready, 1, kWaitMilliseconds);
        if (count < 0 && errno != EINTR) {
            return Failed<std::size_t>(LastReason());
        }
        // A request to stop that came while waiting wins over data or an end that came too.
        if (count <= 0 || (objStop && objStop())) {
            continue;
        }
        const ssize_t got = ::read(fd, buffer, size);
        if (got >= 0) {
            return {static_cast<std::size_t>(got), {}};
        }
        if (errno != EAGAIN && errno != EINTR) {
            return Failed<std::size_t>(LastReason());
        }
    }
}

Result<std::string> ReadAll(int fd, std::uint64_t maxBytes)
{
    struct stat info
    {};
    Result<std::string> read;
    std::string& bytes = read.value;
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
            return Failed<std::string>(LastReason());
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
        if (done > maxBytes) {
            return Failed<std::string>({ReasonKind::TooLarge, 0});
        }
    }
    bytes.resize(done);
    return read;
}

Result<std::string> ReadFile(int fd, std::uint64_t maxBytes)
{
    if (::lseek(fd, 0, SEEK_SET) != 0) {
        return Failed<std::string>(LastReason());
    }
    return ReadAll(fd, maxBytes);
}

namespace {

// Writes all of bytes through short writes and interruptions: at the descriptor's offset, or at
// the offset given, which then moves along with what was written.
Done WriteWhole(int fd, std::string_view bytes, std::optional<off_t> offset)
{
    while (!bytes.empty()) {
        const ssize_t written = offset ? ::pwrite(fd, bytes.data(), bytes.size(), *offset)
                                       : ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            return {LastReason()};
        }
        if (written == 0) {
            return {ReasonOf(ENOSPC)};
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        if (offset) {
            *offset += written;
        }
    }
    return {};
}

} // namespace

Done WriteAll(int fd, std::string_view bytes)
{
    return WriteWhole(fd, bytes, std::nullopt);
}

Done WriteAllAt(int fd, std::string_view bytes, off_t offset)
{
    return WriteWhole(fd, bytes, offset);
}

Done ReadExactlyAt(int fd, char* buffer, std::size_t size, off_t offset)
{
    while (size > 0) {
        const ssize_t got = ::pread(fd, buffer, size, offset);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return {LastReason()};
        }
        if (got == 0) {
            return {ReasonOf(EIO)}; // the file ended sooner than it did a moment ago
        }
        buffer += got;
        size -= static_cast<std::size_t>(got);
        offset += got;
    }
    return {};
}

Result<std::size_t> ReadSomeAt(int fd, char* buffer, std::size_t size, std::uint64_t offset)
{
    for (;;) {
        const ssize_t got = ::pread(fd, buffer, size, static_cast<off_t>(offset));
        if (got >= 0) {
            return {static_cast<std::size_t>(got), {}};
        }
        if (errno != EINTR) {
            return Failed<std::size_t>(LastReason());
        }
    }
}

Result<std::size_t> SizeOf(int fd)
{
    struct stat info
    {};
    if (::fstat(fd, &info) != 0) {
        return Failed<std::size_t>(LastReason());
    }
    return {static_cast<std::size_t>(info.st_size), {}};
}

Done WriteOver(int fd, const std::function<Done(int fd)>& objWrite)
{
    if (::lseek(fd, 0, SEEK_SET) != 0) {
        return {LastReason()};
    }
    Done written = objWrite(fd);
    if (!written) {
        return written;
    }
    const off_t end = ::lseek(fd, 0, SEEK_CUR);
    if (end < 0 || ::ftruncate(fd, end) != 0) {
        return {LastReason()};
    }
    return {};
}

void FillClosedStandardDescriptors()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) {
            continue;
        }
        // open() takes the lowest free descriptor, which is this one.
        const int filled = ::open("/dev/null", (fd == 0 ? O_WRONLY : O_RDONLY));
        if (filled >= 0 && filled != fd) {
            ::close(filled);
        }
    }
}

std::string DescriptorPath(int fd)
{
    return "/proc/self/fd/" + std::to_string(fd);
}

} // namespace qif2ldx::platform
