// SPDX-License-Identifier: MIT
#include "platform/Text.h"

#include <cstdint>
#include <cstring>
#include <unicode/unistr.h>

namespace qif2ldx::platform {

std::size_t AsciiPrefixLength(std::string_view sText) noexcept
{
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    std::size_t pos = 0;
    for (; pos + 8 <= sText.size(); pos += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, sText.data() + pos, sizeof word);
        if ((word & kHighBits) != 0) {
            break;
        }
    }
    while (pos < sText.size() && static_cast<unsigned char>(sText[pos]) < 0x80) {
        ++pos;
    }
    return pos;
}

std::string ToUpperAscii(std::string_view sText)
{
    std::string sUpper(sText);
    for (char& c : sUpper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return sUpper;
}

std::string CapitalisedAscii(std::string sText)
{
    if (!sText.empty() && sText.front() >= 'a' && sText.front() <= 'z') {
        sText.front() = static_cast<char>(sText.front() - 'a' + 'A');
    }
    return sText;
}

std::string ToLowerAscii(std::string_view sText)
{
    std::string sLower(sText);
    for (char& c : sLower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return sLower;
}

std::string FoldCase(std::string_view sText)
{
    if (AsciiPrefixLength(sText) == sText.size()) {
        return ToLowerAscii(sText); // what folding does to ASCII, without ICU's round trip
    }
    std::string sFolded;
    icu::UnicodeString::fromUTF8(
        icu::StringPiece(sText.data(), static_cast<std::int32_t>(sText.size())))
        .foldCase()
        .toUTF8String(sFolded);
    return sFolded;
}

std::string_view TrimBlanks(std::string_view sText) noexcept
{
    const std::size_t first = sText.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return sText.substr(first, sText.find_last_not_of(" \t") - first + 1);
}

std::string_view TrimSpaces(std::string_view sText) noexcept
{
    const std::size_t first = sText.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return sText.substr(first, sText.find_last_not_of(' ') - first + 1);
}

std::string_view TrimTrailingBlanks(std::string_view sText) noexcept
{
    const std::size_t last = sText.find_last_not_of(" \t");
    return last == std::string_view::npos ? std::string_view() : sText.substr(0, last + 1);
}

} // namespace qif2ldx::platform
