// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace qif2ldx::platform {

// An open file descriptor, closed when it goes; -1 holds none.
class UniqueFd
{
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    [[nodiscard]] int Get() const { return fd_; }
    [[nodiscard]] explicit operator bool() const { return fd_ >= 0; }
    // Gives the descriptor up without closing it.
    [[nodiscard]] int Release();
    // Closes the descriptor held, if any; false when close reported an error (a write that
    // the file system only failed at the end, such as on a full network disk).
    bool Reset();

private:
    int fd_ = -1;
};

// Opens a regular file for reading. An empty UniqueFd (with errno set; EINVAL for anything
// that is not a regular file) when the path is missing, unreadable, a folder, a device or a
// FIFO: reading those could block or never end. The open itself never waits on a FIFO.
[[nodiscard]] UniqueFd OpenRegularFile(const std::string& sPath);

// Opens a file for writing from its start: created when missing, emptied when it exists, so
// that it stays the same file (its other names and open descriptors see the new content). An
// empty UniqueFd, with errno set, when it cannot be opened (a folder, a missing folder, no
// permission).
[[nodiscard]] UniqueFd OpenForWriting(const std::string& sPath);

// Opens a pipe (a FIFO, or a pipe reached through /dev/stdin or /dev/fd/N) for reading, without
// waiting for a writer to open its other end. An empty UniqueFd (with errno set; EINVAL for
// anything that is not a pipe) otherwise.
[[nodiscard]] UniqueFd OpenPipe(const std::string& sPath);

// Reads the next piece of a pipe opened by OpenPipe into buffer: how many bytes (0 once a writer
// has come and every writer has gone), waiting meanwhile for a writer and its data, and asking
// objStop several times a second whether to give up. nullopt when a read fails, or with errno
// EINTR when objStop said so.
[[nodiscard]] std::optional<std::size_t> ReadPipe(int fd, char* buffer, std::size_t size,
                                                  const std::function<bool()>& objStop);

// Everything from the descriptor's current offset to the end of the file, where the end is
// where read() first reports it: a file that grows while it is read is read to wherever its end
// is when the reading reaches it, and one that shrinks gives what it still holds. nullopt, with
// errno set, when a read fails or the content would exceed maxBytes (EFBIG).
[[nodiscard]] std::optional<std::string>
ReadAll(int fd, std::uint64_t maxBytes = std::numeric_limits<std::uint64_t>::max());

// Writes all of bytes at the descriptor's offset, through short writes and interruptions.
// False, with errno set, when a write fails (a full disk, a file-size limit).
[[nodiscard]] bool WriteAll(int fd, std::string_view bytes);

// The same at a given position, leaving the descriptor's offset alone.
[[nodiscard]] bool WriteAllAt(int fd, std::string_view bytes, off_t offset);

// Reads exactly size bytes at a given position; false when the file ends sooner or a read
// fails.
[[nodiscard]] bool ReadExactlyAt(int fd, char* buffer, std::size_t size, off_t offset);

// Reads up to size bytes at offset: how many were read (0 at the end of the file), nullopt
// when the file cannot be read.
[[nodiscard]] std::optional<std::size_t> ReadSomeAt(int fd, char* buffer, std::size_t size,
                                                    std::uint64_t offset);

} // namespace qif2ldx::platform
