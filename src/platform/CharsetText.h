// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace qif2ldx::platform {

// What a character set can carry of UTF-8 text, and the rest rewritten in what it can carry
// through ICU's transforms. The character sets are those a statement can be written in:
// "UTF-8", which carries every character, and "windows-1252" (names in any case); any other
// carries nothing.
class CharsetText
{
public:
    explicit CharsetText(std::string_view sCharset);
    ~CharsetText();
    CharsetText(const CharsetText&) = delete;
    CharsetText& operator=(const CharsetText&) = delete;

    // True when the character set holds every character of the text. A character written as a
    // byte that the set leaves undefined counts as held (see UndefinedByte).
    [[nodiscard]] bool Holds(std::string_view sText) const;

    // The first character of the text that the character set writes as a byte it leaves
    // undefined, as that byte: Windows-1252's 0x81, 0x8D, 0x8F, 0x90 and 0x9D, which reading
    // Windows-1252 makes the control characters of the same number. nullopt when there is none.
    [[nodiscard]] std::optional<unsigned char> UndefinedByte(std::string_view sText) const;

    // The text with every character that the character set lacks written in Latin letters that
    // it holds ("Москва" as "Moskva", "Ł" as "L"), or as "?" where there are none, and each
    // character it writes as an undefined byte as "?"; every other character stays as it is.
    // Throws std::bad_alloc.
    [[nodiscard]] std::string Transliterated(std::string_view sText) const;

private:
    enum class Kind
    {
        Utf8,
        Windows1252,
        Unknown
    };
    class Transforms;
    // ICU's, made the first time text beyond ASCII needs them.
    [[nodiscard]] const Transforms& Icu() const;

    Kind kind_;
    mutable std::unique_ptr<Transforms> transforms_;
};

} // namespace qif2ldx::platform
