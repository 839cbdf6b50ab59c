// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qif2ldx::xml {

// Told of a document's elements in document order as it is read, without a tree being built:
// each element's start, the text directly inside it (in one or more pieces), and its end.
class IElementVisitor
{
public:
    virtual ~IElementVisitor() = default;

    virtual void StartElement(std::string_view sName) = 0;
    virtual void Text(std::string_view sText) = 0; // UTF-8
    virtual void EndElement(std::string_view sName) = 0;
    // Asked before each further piece of the document is read; true stops the reading, which
    // then fails.
    virtual bool Stop() { return false; }
};

enum StreamStatus : std::int32_t
{
    stsOk = 0,
    stsNotWellFormed = 1, // the bytes are no well-formed document in the encoding they are read in
    stsUnreadable = 2     // a read of the file failed
};

// What reading a document's elements came to: a status and, when it failed, the reason in the
// parser's words. True when the whole document was read.
struct StreamResult
{
    StreamStatus status = stsOk;
    std::string sReason;

    [[nodiscard]] explicit operator bool() const { return status == stsOk; }
};

// Reads a document from its bytes, the way loads do (nothing outside it is ever read), and
// tells the visitor. sEncoding names the encoding of a document that declares none. Empty bytes
// are no document.
[[nodiscard]] StreamResult StreamElements(std::string_view bytes, const char* sEncoding,
                                          IElementVisitor& objVisitor);

// The same, for the file open on fd, from byte offset to its end, read in large pieces.
[[nodiscard]] StreamResult StreamFileElements(int fd, std::uint64_t offset, const char* sEncoding,
                                              IElementVisitor& objVisitor);

} // namespace qif2ldx::xml
