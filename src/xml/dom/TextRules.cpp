// SPDX-License-Identifier: MIT
#include "xml/dom/TextRules.h"

#include "platform/Utf8.h"
#include "xml/dom/DomError.h"

#include <cstdint>
#include <cstring>

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

// True when none of the eight bytes at text is a control character or beyond ASCII (some that
// are neither may be taken for one: the bytes are then looked at one by one).
// Fewer than eight bytes are looked at with blanks after them.
bool ArePlainAscii(const char* text, std::size_t size = 8)
{
    std::uint64_t bytes = 0x2020202020202020ULL;
    std::memcpy(&bytes, text, size);
    return ((bytes | (bytes - 0x2020202020202020ULL)) & 0x8080808080808080ULL) == 0;
}

} // namespace

std::string_view StoredText(std::string_view text, std::string& storage)
{
    if (!text.empty() && text.size() < 8 && ArePlainAscii(text.data(), text.size())) {
        return text; // most texts of a statement: short, and plain
    }
    bool clean = true;
    for (std::size_t pos = 0; pos < text.size();) {
        if (pos + 8 <= text.size() && ArePlainAscii(text.data() + pos)) {
            pos += 8;
            continue;
        }
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
