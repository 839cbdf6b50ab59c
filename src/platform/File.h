// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Reason.h"

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

// Opens a regular file for reading. Fails for a missing or unreadable path, a folder (Folder)
// and anything else that is not a regular file (NotAFile: a device or a FIFO, whose reading
// could block or never end). The open itself never waits on a FIFO.
[[nodiscard]] Result<UniqueFd> OpenRegularFile(const std::string& sPath);

// Opens a file for writing from its start: created when missing, emptied when it exists, so
// that it stays the same file (its other names and open descriptors see the new content). Fails
// for a folder, a missing folder, or without permission.
[[nodiscard]] Result<UniqueFd> OpenForWriting(const std::string& sPath);

// Opens a pipe (a FIFO, or a pipe reached through /dev/stdin or /dev/fd/N) for reading, without
// waiting for a writer to open its other end. Fails with NotAFile for anything that is not a
// pipe.
[[nodiscard]] Result<UniqueFd> OpenPipe(const std::string& sPath);

// Reads the next piece of a stream (a pipe opened by OpenPipe, or standard input, whatever it
// is) into buffer: how many bytes, 0 only at the stream's real end (for a pipe: once a writer
// has come and every writer has gone), waiting meanwhile for a writer and its data, and asking
// objStop several times a second whether to give up (Interrupted). A read that fails says why:
// a folder, a closed descriptor, an error of the device. A signal never ends the wait unasked.
[[nodiscard]] Result<std::size_t> ReadStream(int fd, char* buffer, std::size_t size,
                                             const std::function<bool()>& objStop);

// Everything from the descriptor's current offset to the end of the file, where the end is
// where read() first reports it: a file that grows while it is read is read to wherever its end
// is when the reading reaches it, and one that shrinks gives what it still holds. Fails when a
// read fails, or with TooLarge when the content would exceed maxBytes.
[[nodiscard]] Result<std::string>
ReadAll(int fd, std::uint64_t maxBytes = std::numeric_limits<std::uint64_t>::max());

// Everything the open file holds, from its start, as ReadAll reads it.
[[nodiscard]] Result<std::string>
ReadFile(int fd, std::uint64_t maxBytes = std::numeric_limits<std::uint64_t>::max());

// Writes all of bytes at the descriptor's offset, through short writes and interruptions.
// Fails when a write fails (a full disk, a file-size limit).
[[nodiscard]] Done WriteAll(int fd, std::string_view bytes);

// The same at a given position, leaving the descriptor's offset alone.
[[nodiscard]] Done WriteAllAt(int fd, std::string_view bytes, off_t offset);

// Reads exactly size bytes at a given position; fails when a read fails or the file ends
// sooner.
[[nodiscard]] Done ReadExactlyAt(int fd, char* buffer, std::size_t size, off_t offset);

// Reads up to size bytes at offset: how many were read (0 at the end of the file).
[[nodiscard]] Result<std::size_t> ReadSomeAt(int fd, char* buffer, std::size_t size,
                                             std::uint64_t offset);

// The size of the open file.
[[nodiscard]] Result<std::size_t> SizeOf(int fd);

// Writes the open file anew: objWrite writes from the file's start, and the file then ends where
// the writing did. When objWrite fails, what it wrote stays over the old content. The file stays
// the one held, whatever its names.
[[nodiscard]] Done WriteOver(int fd, const std::function<Done(int fd)>& objWrite);

// Fills descriptors 0, 1 and 2 when the program was started with any of them closed, so that no
// file it opens takes their place: a closed standard input gets /dev/null opened for writing
// only, whose reads fail as a closed descriptor's do (Closed), and a closed standard output or
// error gets /dev/null for reading only, whose writes fail. Call once, first thing.
void FillClosedStandardDescriptors();

// A path that opens the very file the descriptor holds, whatever names it has now:
// "/proc/self/fd/N".
[[nodiscard]] std::string DescriptorPath(int fd);

} // namespace qif2ldx::platform
