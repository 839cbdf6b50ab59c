// SPDX-License-Identifier: MIT
#include "platform/LibraryFile.h"

#include "platform/File.h"

#include <cstdint>
#include <cstring>
#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace qif2ldx::platform {
namespace {

#if UINTPTR_MAX == UINT64_MAX
using ElfHeader = Elf64_Ehdr;
using ProgramHeader = Elf64_Phdr;
constexpr unsigned char kClass = ELFCLASS64;
#else
using ElfHeader = Elf32_Ehdr;
using ProgramHeader = Elf32_Phdr;
constexpr unsigned char kClass = ELFCLASS32;
#endif

#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr unsigned char kByteOrder = ELFDATA2LSB;
#else
constexpr unsigned char kByteOrder = ELFDATA2MSB;
#endif

// True when count entries of size bytes from offset lie within a file of fileSize bytes.
bool Within(std::uint64_t offset, std::uint64_t count, std::uint64_t size, std::uint64_t fileSize)
{
    return offset <= fileSize && (size == 0 || count <= (fileSize - offset) / size);
}

// Reads exactly size bytes at offset.
bool ReadAt(int fd, void* buffer, std::size_t size, off_t offset)
{
    auto* bytes = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got =
            ::pread(fd, bytes + done, size - done, offset + static_cast<off_t>(done));
        if (got <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

} // namespace

bool IsWholeLibrary(const std::string& sPath) noexcept
{
    const UniqueFd file(::open(sPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info
    {};
    if (!file || ::fstat(file.Get(), &info) != 0) {
        return true; // the loader says why it cannot be opened
    }
    if (!S_ISREG(info.st_mode)) {
        return false;
    }
    const auto fileSize = static_cast<std::uint64_t>(info.st_size);
    ElfHeader header{};
    if (!ReadAt(file.Get(), &header, sizeof header, 0) ||
        std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != kClass ||
        header.e_ident[EI_DATA] != kByteOrder || header.e_phentsize != sizeof(ProgramHeader) ||
        !Within(header.e_phoff, header.e_phnum, header.e_phentsize, fileSize) ||
        !Within(header.e_shoff, header.e_shnum, header.e_shentsize, fileSize)) {
        return false;
    }
    try {
        std::vector<ProgramHeader> segments(header.e_phnum);
        if (!ReadAt(file.Get(), segments.data(), segments.size() * sizeof(ProgramHeader),
                    static_cast<off_t>(header.e_phoff))) {
            return false;
        }
        for (const ProgramHeader& segment : segments) {
            if (segment.p_type == PT_LOAD &&
                !Within(segment.p_offset, 1, segment.p_filesz, fileSize)) {
                return false;
            }
        }
    } catch (...) {
        return true; // no memory to look: the loader is left to try
    }
    return true;
}

} // namespace qif2ldx::platform
