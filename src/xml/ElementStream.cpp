// SPDX-License-Identifier: MIT
#include "xml/ElementStream.h"

#include "platform/File.h"
#include "xml/libxml/ElementReader.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace qif2ldx::xml {
namespace {

// Reads with the chunk source, which notes in bolUnreadable when the bytes could not be had.
StreamResult Stream(const libxml::ChunkSource& read, const bool& bolUnreadable,
                    const char* sEncoding, IElementVisitor& objVisitor)
{
    StreamResult result;
    if (!libxml::ReadElements(
            read, sEncoding, [&](const std::string_view sName) { objVisitor.StartElement(sName); },
            [&](const std::string_view sText) { objVisitor.Text(sText); },
            [&](const std::string_view sName) { objVisitor.EndElement(sName); },
            result.sDescription)) {
        result.status = bolUnreadable ? stsUnreadable : stsNotWellFormed;
    }
    return result;
}

} // namespace

StreamResult StreamElements(std::string_view bytes, const char* sEncoding,
                            IElementVisitor& objVisitor)
{
    const bool bolUnreadable = false;
    return Stream(
        [&bytes](char* buffer, std::size_t size) -> std::optional<std::size_t> {
            const std::size_t taken = std::min(size, bytes.size());
            std::memcpy(buffer, bytes.data(), taken);
            bytes.remove_prefix(taken);
            return taken;
        },
        bolUnreadable, sEncoding, objVisitor);
}

StreamResult StreamFileElements(int fd, std::uint64_t offset, const char* sEncoding,
                                IElementVisitor& objVisitor)
{
    // The parser asks for a few kilobytes at a time; the file is read a megabyte at a time.
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    std::vector<char> piece(kPiece);
    std::size_t held = 0;
    std::size_t taken = 0;
    bool bolUnreadable = false;
    return Stream(
        [&](char* buffer, std::size_t size) -> std::optional<std::size_t> {
            if (taken == held) {
                const std::optional<std::size_t> got =
                    platform::ReadSomeAt(fd, piece.data(), piece.size(), offset);
                if (!got) {
                    bolUnreadable = true;
                    return std::nullopt;
                }
                offset += *got;
                held = *got;
                taken = 0;
            }
            const std::size_t given = std::min(size, held - taken);
            std::memcpy(buffer, piece.data() + taken, given);
            taken += given;
            return given;
        },
        bolUnreadable, sEncoding, objVisitor);
}

} // namespace qif2ldx::xml
