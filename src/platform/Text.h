// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace qif2ldx::platform {

// Small helpers on byte text, one byte a character; letters are ASCII only, so that UTF-8 and
// Windows-1252 text pass through unchanged outside A-Z.

// True when the text is one or more of the digits 0-9 and nothing else; false for "".
[[nodiscard]] constexpr bool IsAllDigits(std::string_view sText) noexcept
{
    if (sText.empty()) {
        return false;
    }
    for (const char c : sText) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// How many bytes at the start of the text are ASCII (below 128): the text's size when all are.
// Reads eight bytes at a time, for most texts the program reads are ASCII through and through.
[[nodiscard]] std::size_t AsciiPrefixLength(std::string_view sText) noexcept;

// The text with a-z turned into A-Z; every other byte kept.
[[nodiscard]] std::string ToUpperAscii(std::string_view sText);

// The text with its first byte turned into A-Z when it is a-z: a sentence begun.
[[nodiscard]] std::string CapitalisedAscii(std::string sText);

// The text with A-Z turned into a-z; every other byte kept.
[[nodiscard]] std::string ToLowerAscii(std::string_view sText);

// UTF-8 text with its letter case folded, in every script (ICU's full case folding: "NÉpargne"
// and "népargne" fold alike), for comparing names without regard to case.
[[nodiscard]] std::string FoldCase(std::string_view sText);

// The text without the spaces and tabs at its ends.
[[nodiscard]] std::string_view TrimBlanks(std::string_view sText) noexcept;

// The text without the spaces at its ends (spaces only, not tabs).
[[nodiscard]] std::string_view TrimSpaces(std::string_view sText) noexcept;

// The text without the blanks at its end: spaces and tabs.
[[nodiscard]] std::string_view TrimTrailingBlanks(std::string_view sText) noexcept;

} // namespace qif2ldx::platform
