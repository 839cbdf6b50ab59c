// SPDX-License-Identifier: MIT
#include "xml/ElementStream.h"

#include "platform/File.h"
#include "xml/libxml/ElementReader.h"

#include <algorithm>
#include <cstring>

namespace qif2ldx::xml {
namespace {

bool Stream(const libxml::ChunkSource& read, const char* sEncoding, IElementVisitor& objVisitor,
            std::string& sError)
{
    return libxml::ReadElements(
        read, sEncoding, [&](const std::string_view sName) { objVisitor.StartElement(sName); },
        [&](const std::string_view sText) { objVisitor.Text(sText); },
        [&](const std::string_view sName) { objVisitor.EndElement(sName); }, sError);
}

} // namespace

bool StreamElements(std::string_view bytes, const char* sEncoding, IElementVisitor& objVisitor,
                    std::string& sError)
{
    return Stream(
        [&bytes, &objVisitor](char* buffer, std::size_t size) -> std::optional<std::size_t> {
            if (objVisitor.Stop()) {
                return std::nullopt;
            }
            const std::size_t taken = std::min(size, bytes.size());
            std::memcpy(buffer, bytes.data(), taken);
            bytes.remove_prefix(taken);
            return taken;
        },
        sEncoding, objVisitor, sError);
}

bool StreamFileElements(int fd, std::uint64_t offset, const char* sEncoding,
                        IElementVisitor& objVisitor, std::string& sError)
{
    return Stream(
        [fd, &offset, &objVisitor](char* buffer, std::size_t size) -> std::optional<std::size_t> {
            if (objVisitor.Stop()) {
                return std::nullopt;
            }
            const std::optional<std::size_t> got = platform::ReadSomeAt(fd, buffer, size, offset);
            offset += got.value_or(0);
            return got;
        },
        sEncoding, objVisitor, sError);
}

} // namespace qif2ldx::xml
