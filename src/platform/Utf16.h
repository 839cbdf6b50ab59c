// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qif2ldx::platform {

// The UTF-16 byte-order marks: a file that starts with one is UTF-16 text.
inline constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
inline constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";

// UTF-16 bytes (without their byte-order mark) as UTF-8; nullopt when they are not well-formed
// UTF-16 (an odd number of bytes, a lone surrogate). Uses the system's iconv.
[[nodiscard]] std::optional<std::string> Utf16ToUtf8(std::string_view sBytes, bool bolBigEndian);

} // namespace qif2ldx::platform
