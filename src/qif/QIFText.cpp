// SPDX-License-Identifier: MIT
#include "qif/QIFText.h"

#include "platform/Text.h"
#include "platform/Utf16.h"
#include "platform/Utf8.h"
#include "platform/Windows1252.h"
#include "qif/QIFError.h"

#include <cstring>


namespace qif2ldx::qif {
const char* TextEncodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Windows1252:
        return "Windows-1252";
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Unmarked:
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
    } else if (const std::size_t high = platform::AsciiPrefixLength(bytes);
               high < bytes.size() && platform::IsValidUtf8(bytes.substr(high))) {
        encoding_ = TextEncoding::Utf8Unmarked;
    }
    const std::string_view text = Text();
    // Text of any kind holds no NUL byte; a file that does is something else (a spreadsheet, an
    // image, an archive), and converting it would only give an empty statement.
    if (std::memchr(text.data(), '\0', text.size()) != nullptr) {
        throw QIFError("it holds bytes that are not text");
    }
    bolCrOnly_ =
        text.find('\n') == std::string_view::npos && text.find('\r') != std::string_view::npos;
}

} // namespace qif2ldx::qif
