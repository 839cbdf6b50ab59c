// SPDX-License-Identifier: MIT
#include "xml/dom/TextRules.h"

#include "platform/Utf8.h"
#include "xml/dom/DomError.h"

namespace qif2ldx::xml {
namespace {

bool IsAllowedAscii(unsigned char byte)
{
    return byte >= 0x20 || byte == '\t' || byte == '\n' || byte == '\r';
}

bool IsNonCharacter(char32_t cp)
{
    return cp == 0xFFFE || cp == 0xFFFF;
}

} // namespace

std::string_view StoredText(std::string_view text, std::string& storage)
{
    bool clean = true;
    for (std::size_t pos = 0; pos < text.size();) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x80) {
            clean = clean && IsAllowedAscii(byte);
            ++pos;
            continue;
        }
        const platform::Utf8Char c = platform::DecodeUtf8(text, pos);
        if (!c.bolValid) {
            throw DomError("text is not valid UTF-8");
        }
        clean = clean && !IsNonCharacter(c.cp);
        pos += c.length;
    }
    if (clean) {
        return text;
    }
    storage.clear();
    storage.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x80) {
            storage.push_back(IsAllowedAscii(byte) ? text[pos] : ' ');
            ++pos;
            continue;
        }
        const platform::Utf8Char c = platform::DecodeUtf8(text, pos);
        if (IsNonCharacter(c.cp)) {
            storage.push_back(' ');
        } else {
            storage.append(text.substr(pos, c.length));
        }
        pos += c.length;
    }
    return storage;
}

} // namespace qif2ldx::xml
