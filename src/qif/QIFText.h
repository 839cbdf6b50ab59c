// SPDX-License-Identifier: MIT
#pragma once

#include "qif/TextShape.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qif2ldx::qif {

// How the bytes of a QIF file are read.
enum class TextEncoding
{
    Windows1252,  // one byte a character (every file that is not UTF-8 or UTF-16)
    Utf8,         // UTF-8 after a byte-order mark
    Utf8Unmarked, // UTF-8 without a byte-order mark: every byte above 127 is part of a character
    Utf8Mixed,    // UTF-8 without a mark but for a few bytes, which are read as Windows-1252
    Utf16         // UTF-16 after a byte-order mark, turned into UTF-8
};

// "Windows-1252", "UTF-8" or "UTF-16".
[[nodiscard]] const char* TextEncodingName(TextEncoding encoding);

// The text of a QIF file as the reader takes it.
class QIFText
{
public:
    // Takes a file's bytes: after a UTF-8 byte-order mark the fields are UTF-8, after a UTF-16
    // one the text is turned into UTF-8. Without a mark, text whose every byte above 127 belongs
    // to a well-formed UTF-8 character, and that holds at least one, is UTF-8 (Windows-1252
    // text almost never is). So is text with at least one such character whose other bytes
    // above 127 lie on fewer lines than it has characters (two downloads joined, a damaged
    // line): those bytes are read as Windows-1252 and the text is turned into UTF-8. Anything
    // else is Windows-1252, one byte a character. Throws QIFError for bytes that are not text
    // at all (a NUL byte outside UTF-16), for UTF-16 that is not well-formed and for text that
    // is not QIF (TextShape); OfxStatementError for an OFX statement.
    explicit QIFText(std::string sBytes);

    // The text without its byte-order mark.
    [[nodiscard]] std::string_view Text() const { return std::string_view(sBytes_).substr(skip_); }
    [[nodiscard]] TextEncoding Encoding() const { return encoding_; }
    // The fields are UTF-8 rather than Windows-1252.
    [[nodiscard]] bool IsUtf8() const { return encoding_ != TextEncoding::Windows1252; }
    // Lines end in CR alone: the text holds CR but no LF at all (classic Mac files).
    [[nodiscard]] bool EndsLinesWithCr() const { return bolCrOnly_; }
    // How its records end.
    [[nodiscard]] RecordEnds Ends() const { return ends_; }
    // For Utf8Mixed: the first line holding bytes read as Windows-1252, and how many lines do.
    [[nodiscard]] std::int64_t Windows1252Line() const { return windows1252Line_; }
    [[nodiscard]] std::int64_t Windows1252Lines() const { return windows1252Lines_; }

private:
    // Reads text without a byte-order mark from its first byte above 127 on: UTF-8, UTF-8 but
    // for a few bytes (turned into UTF-8), or Windows-1252.
    void ReadUnmarked(std::size_t high);

    std::string sBytes_;
    std::size_t skip_ = 0;
    TextEncoding encoding_ = TextEncoding::Windows1252;
    bool bolCrOnly_ = false;
    RecordEnds ends_ = RecordEnds::Caret;
    std::int64_t windows1252Line_ = 0;
    std::int64_t windows1252Lines_ = 0;
};

} // namespace qif2ldx::qif
