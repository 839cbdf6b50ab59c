// SPDX-License-Identifier: MIT
#include "qif/QIFText.h"

#include "platform/Text.h"
#include "platform/Utf16.h"
#include "platform/Utf8.h"
#include "platform/Windows1252.h"
#include "qif/QIFError.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace qif2ldx::qif {

const char* TextEncodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Windows1252:
        return "Windows-1252";
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Unmarked:
    case TextEncoding::Utf8Mixed:
        return "UTF-8";
    case TextEncoding::Utf16:
        return "UTF-16";
    }
    return "";
}

QIFText::QIFText(std::string sBytes) : sBytes_(std::move(sBytes))
{
    const std::string_view bytes(sBytes_);
    const bool bolLittle = bytes.substr(0, 2) == platform::kUtf16LittleEndianMark;
    if (bolLittle || bytes.substr(0, 2) == platform::kUtf16BigEndianMark) {
        std::optional<std::string> text = platform::Utf16ToUtf8(bytes.substr(2), !bolLittle);
        if (!text) {
            throw QIFError("the file starts as UTF-16 text but is not UTF-16");
        }
        sBytes_ = std::move(*text);
        encoding_ = TextEncoding::Utf16;
    } else if (bytes.substr(0, 3) == platform::kUtf8ByteOrderMark) {
        skip_ = 3;
        encoding_ = TextEncoding::Utf8;
    } else if (const std::size_t high = platform::AsciiPrefixLength(bytes); high < bytes.size()) {
        ReadUnmarked(high);
    }
    const std::string_view text = Text();
    // Text of any kind holds no NUL byte; a file that does is something else (a spreadsheet, an
    // image, an archive), and converting it would only give an empty statement.
    if (std::memchr(text.data(), '\0', text.size()) != nullptr) {
        throw QIFError("it holds bytes that are not text");
    }
    bolCrOnly_ =
        text.find('\n') == std::string_view::npos && text.find('\r') != std::string_view::npos;
    const TextShape shape = ShapeOf(text, bolCrOnly_, IsUtf8());
    if (shape.bolOfx) {
        throw OfxStatementError();
    }
    if (shape.bolNotQif) {
        throw QIFError("it holds no \"!Type:\" line, no \"^\" and no line that reads as a date or "
                       "an amount");
    }
    ends_ = shape.ends;
}

void QIFText::ReadUnmarked(std::size_t high)
{
    const std::string_view bytes(sBytes_);
    if (platform::IsValidUtf8(bytes.substr(high))) {
        encoding_ = TextEncoding::Utf8Unmarked;
        return;
    }
    // Count the characters and the lines holding other bytes; lines end as the reader splits
    // them (at LF, or at CR in a text without LF).
    const char lineEnd = bytes.find('\n') == std::string_view::npos ? '\r' : '\n';
    std::int64_t line = 1 + std::count(bytes.begin(), bytes.begin() + high, lineEnd);
    std::int64_t characters = 0;
    std::int64_t lastForeignLine = 0;
    for (std::size_t pos = high; pos < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[pos]);
        if (byte < 0x80) {
            line += bytes[pos++] == lineEnd ? 1 : 0;
            continue;
        }
        const platform::Utf8Char c = platform::DecodeUtf8(bytes, pos);
        pos += c.length;
        if (c.bolValid) {
            ++characters;
        } else if (line != lastForeignLine) {
            lastForeignLine = line;
            windows1252Line_ = windows1252Line_ == 0 ? line : windows1252Line_;
            ++windows1252Lines_;
        }
    }
    if (characters == 0 || windows1252Lines_ >= characters) {
        windows1252Line_ = windows1252Lines_ = 0;
        return; // Windows-1252 through and through
    }
    std::string text(bytes.substr(0, high));
    text.reserve(bytes.size() + static_cast<std::size_t>(windows1252Lines_) * 2);
    for (std::size_t pos = high; pos < bytes.size();) {
        if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
            text.push_back(bytes[pos++]);
            continue;
        }
        const platform::Utf8Char c = platform::DecodeUtf8(bytes, pos);
        text += c.bolValid ? std::string(bytes.substr(pos, c.length))
                           : platform::AnsiToUtf8(bytes.substr(pos, 1));
        pos += c.length;
    }
    sBytes_ = std::move(text);
    encoding_ = TextEncoding::Utf8Mixed;
}

} // namespace qif2ldx::qif
