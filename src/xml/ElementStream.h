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

// Reads a document from its bytes, the way loads do (nothing outside it is ever read), and
// tells the visitor. sEncoding names the encoding of a document that declares none. False,
// with the parser's reason in sError, when the bytes are not a well-formed document.
[[nodiscard]] bool StreamElements(std::string_view bytes, const char* sEncoding,
                                  IElementVisitor& objVisitor, std::string& sError);

// The same, for the file open on fd, from byte offset to its end, read a piece at a time.
[[nodiscard]] bool StreamFileElements(int fd, std::uint64_t offset, const char* sEncoding,
                                      IElementVisitor& objVisitor, std::string& sError);

} // namespace qif2ldx::xml
