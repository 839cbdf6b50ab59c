// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace qif2ldx::qif {

// The text of a QIF file as the reader takes it.
class QIFText
{
public:
    // Takes a file's bytes: after a UTF-8 byte-order mark the fields are UTF-8, after a UTF-16
    // one the text is turned into UTF-8; anything else is Windows-1252, one byte a character.
    // Throws QIFError for bytes that are not text at all (a NUL byte outside UTF-16) and for
    // UTF-16 that is not well-formed.
    explicit QIFText(std::string sBytes);

    // The text without its byte-order mark.
    [[nodiscard]] std::string_view Text() const { return std::string_view(sBytes_).substr(skip_); }
    // The fields are UTF-8 rather than Windows-1252.
    [[nodiscard]] bool IsUtf8() const { return bolUtf8_; }
    // Lines end in CR alone: the text holds CR but no LF at all (classic Mac files).
    [[nodiscard]] bool EndsLinesWithCr() const { return bolCrOnly_; }

private:
    std::string sBytes_;
    std::size_t skip_ = 0;
    bool bolUtf8_ = false;
    bool bolCrOnly_ = false;
};

} // namespace qif2ldx::qif
