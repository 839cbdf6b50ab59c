// SPDX-License-Identifier: MIT
#include "platform/Utf8.h"

#include "platform/Text.h"

namespace qif2ldx::platform {

Utf8Char DecodeUtf8(std::string_view sText, std::size_t pos)
{
    const auto lead = static_cast<unsigned char>(sText[pos]);
    if (lead < 0x80) {
        return {lead, 1, true};
    }
    std::size_t length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07;
        minimum = 0x10000;
    } else {
        return {};
    }
    if (pos + length > sText.size()) {
        return {};
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(sText[pos + i]);
        if ((next & 0xC0) != 0x80) {
            return {};
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return {};
    }
    return {cp, length, true};
}

bool IsValidUtf8(std::string_view sText)
{
    for (std::size_t pos = 0; pos < sText.size();) {
        if (static_cast<unsigned char>(sText[pos]) < 0x80) {
            pos += AsciiPrefixLength(sText.substr(pos));
            continue;
        }
        const Utf8Char c = DecodeUtf8(sText, pos);
        if (!c.bolValid) {
            return false;
        }
        pos += c.length;
    }
    return true;
}

std::size_t Utf8Length(std::string_view sText)
{
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < sText.size(); ++count) {
        pos += DecodeUtf8(sText, pos).length;
    }
    return count;
}

std::string Utf8Left(std::string_view sText, std::size_t maxChars)
{
    std::size_t pos = 0;
    for (std::size_t count = 0; count < maxChars && pos < sText.size(); ++count) {
        pos += DecodeUtf8(sText, pos).length;
    }
    return std::string(sText.substr(0, pos));
}

std::string Utf8Right(std::string_view sText, std::size_t maxChars)
{
    const std::size_t total = Utf8Length(sText);
    if (total <= maxChars) {
        return std::string(sText);
    }
    std::size_t pos = 0;
    for (std::size_t count = 0; count < total - maxChars; ++count) {
        pos += DecodeUtf8(sText, pos).length;
    }
    return std::string(sText.substr(pos));
}

std::string EscapeControls(std::string_view sText)
{
    constexpr char32_t kDelete = 0x7F;
    constexpr char32_t kLastC1 = 0x9F; // C1 controls (0x80 to 0x9F) are escapes to a terminal
    std::string sEscaped;
    sEscaped.reserve(sText.size());
    for (std::size_t pos = 0; pos < sText.size();) {
        const Utf8Char ch = DecodeUtf8(sText, pos);
        const bool bolPlain = ch.bolValid && ch.cp >= U' ' && ch.cp != kDelete &&
                              !(ch.cp > kDelete && ch.cp <= kLastC1) && ch.cp != U'\\';
        if (bolPlain) {
            sEscaped.append(sText.substr(pos, ch.length));
            pos += ch.length;
            continue;
        }
        for (const char byte : sText.substr(pos, ch.length)) {
            switch (byte) {
            case '\n':
                sEscaped += "\\n";
                break;
            case '\r':
                sEscaped += "\\r";
                break;
            case '\t':
                sEscaped += "\\t";
                break;
            case '\\':
                sEscaped += "\\\\";
                break;
            default: {
                constexpr const char* kHex = "0123456789abcdef";
                const auto value = static_cast<unsigned char>(byte);
                sEscaped += {'\\', 'x', kHex[value >> 4U], kHex[value & 0x0FU]};
            }
            }
        }
        pos += ch.length;
    }
    return sEscaped;
}

std::string Excerpt(std::string_view sText)
{
    if (sText.size() <= kExcerptChars || Utf8Length(sText) <= kExcerptChars) {
        return EscapeControls(sText);
    }
    return EscapeControls(Utf8Left(sText, kExcerptChars - 1)) + "\u2026";
}

} // namespace qif2ldx::platform
