// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qif2ldx::platform {

// Files are read and written in Windows-1252; inside the program text is UTF-8.

// Decodes Windows-1252 bytes to UTF-8: one byte is one character. The five bytes that the code
// page leaves undefined become the control characters of the same number, as Windows does.
[[nodiscard]] std::string AnsiToUtf8(std::string_view sBytes);

// The UTF-8 byte-order mark. A file that starts with it says it is UTF-8, not Windows-1252.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Decodes as much of in as fits into out (which takes at least 3 bytes); sets consumed to the
// bytes of in decoded and returns the bytes written. For decoders that are fed in pieces.
[[nodiscard]] std::size_t AnsiToUtf8Piece(std::string_view in, char* out, std::size_t capacity,
                                          std::size_t& consumed);

// Text read from a file: Windows-1252 decoded to UTF-8, or, for a file that declared itself
// UTF-8 (bolUtf8), kept as it is where it is valid UTF-8 and decoded as Windows-1252 where not.
[[nodiscard]] std::string DecodeFileText(std::string_view sBytes, bool bolUtf8);
// The same text, without a copy where it reads the same either way (ASCII, the commonest case,
// or valid UTF-8 in a UTF-8 file); otherwise decoded into storage. The view lives as long as
// sBytes and storage both do.
[[nodiscard]] std::string_view DecodeFileText(std::string_view sBytes, bool bolUtf8,
                                              std::string& storage);

// Encodes UTF-8 text as Windows-1252; a character the code page cannot hold, or a byte that is
// not valid UTF-8, becomes "?".
[[nodiscard]] std::string Utf8ToAnsi(std::string_view sText);

// Appends UTF-8 text to out as Windows-1252; a character the code page cannot hold becomes a
// decimal character reference ("&#8364;" style), so that the bytes stay a faithful XML text.
// A byte that is not valid UTF-8 is written as "?".
void AppendUtf8AsAnsiXml(std::string_view sText, std::string& out);

} // namespace qif2ldx::platform
