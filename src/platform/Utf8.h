// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qif2ldx::platform {

// Counting and cutting UTF-8 text by characters rather than bytes.

struct Utf8Char
{
    char32_t cp = 0;
    std::size_t length = 1; // bytes taken, at least 1 so that a scan always moves on
    bool bolValid = false;
};

// Decodes the character starting at byte pos (pos < size). A malformed, overlong or surrogate
// sequence gives bolValid false and a length of 1.
[[nodiscard]] Utf8Char DecodeUtf8(std::string_view sText, std::size_t pos);

// True when the whole text is well-formed UTF-8.
[[nodiscard]] bool IsValidUtf8(std::string_view sText);

// Number of characters; each malformed byte counts as one.
[[nodiscard]] std::size_t Utf8Length(std::string_view sText);

// The first maxChars characters (all of them when there are fewer).
[[nodiscard]] std::string Utf8Left(std::string_view sText, std::size_t maxChars);

// Input quoted in a message, cut to at most kExcerptChars characters ending in "…" when it is
// longer, so that a huge line is never repeated whole, and escaped as EscapeControls does.
inline constexpr std::size_t kExcerptChars = 60;
[[nodiscard]] std::string Excerpt(std::string_view sText);

// A name (a file's, an account's) as it may be printed among other text: control characters,
// bytes that are no UTF-8 and the backslash are escaped ("\n", "\t", "\x1b", "\\"), as ls -b
// shows them, so that a name can neither fake lines of output nor send escape sequences to a
// terminal. Other text stays as it is.
[[nodiscard]] std::string EscapeControls(std::string_view sText);

// The last maxChars characters (all of them when there are fewer).
[[nodiscard]] std::string Utf8Right(std::string_view sText, std::size_t maxChars);

} // namespace qif2ldx::platform
