// SPDX-License-Identifier: MIT
#include "platform/Windows1252.h"

#include "platform/Utf8.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace qif2ldx::platform {
namespace {

// Code points of bytes 0x80 to 0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char32_t CodePointOf(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : char32_t{byte};
}

// UTF-8 of every byte above 0x7F, so that decoding is one table look-up per byte.
struct DecodeTable
{
    std::array<std::array<char, 3>, 128> bytes{};
    std::array<std::uint8_t, 128> lengths{};

    constexpr DecodeTable()
    {
        for (unsigned i = 0; i < 128; ++i) {
            const char32_t cp = CodePointOf(static_cast<unsigned char>(i + 0x80));
            if (cp < 0x800) {
                bytes[i] = {static_cast<char>(0xC0 | (cp >> 6)),
                            static_cast<char>(0x80 | (cp & 0x3F)), 0};
                lengths[i] = 2;
            } else {
                bytes[i] = {static_cast<char>(0xE0 | (cp >> 12)),
                            static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                            static_cast<char>(0x80 | (cp & 0x3F))};
                lengths[i] = 3;
            }
        }
    }
};

constexpr DecodeTable kDecode;

// The Windows-1252 byte of a code point, or 0 when the code page has none.
char EncodeOrZero(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<char>(cp);
    }
    for (unsigned i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == cp) {
            return static_cast<char>(0x80 + i);
        }
    }
    return 0;
}

char EncodeCodePoint(char32_t cp)
{
    const char byte = EncodeOrZero(cp);
    return byte != 0 || cp == 0 ? byte : '?';
}

} // namespace

std::string AnsiToUtf8(std::string_view sBytes)
{
    std::string text;
    text.resize(sBytes.size() * 3);
    char* out = text.data();
    for (const char c : sBytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            *out++ = c;
        } else {
            const auto& utf8 = kDecode.bytes[byte - 0x80];
            const unsigned length = kDecode.lengths[byte - 0x80];
            for (unsigned i = 0; i < length; ++i) {
                *out++ = utf8[i];
            }
        }
    }
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}

std::size_t AnsiToUtf8Piece(std::string_view in, char* out, std::size_t capacity,
                            std::size_t& consumed)
{
    std::size_t written = 0;
    std::size_t pos = 0;
    for (; pos < in.size(); ++pos) {
        const auto byte = static_cast<unsigned char>(in[pos]);
        const unsigned length = byte < 0x80 ? 1 : kDecode.lengths[byte - 0x80];
        if (written + length > capacity) {
            break;
        }
        if (byte < 0x80) {
            out[written] = in[pos];
        } else {
            for (unsigned i = 0; i < length; ++i) {
                out[written + i] = kDecode.bytes[byte - 0x80][i];
            }
        }
        written += length;
    }
    consumed = pos;
    return written;
}

std::string DecodeFileText(std::string_view sBytes, bool bolUtf8)
{
    if (bolUtf8 && IsValidUtf8(sBytes)) {
        return std::string(sBytes);
    }
    return AnsiToUtf8(sBytes);
}

std::string_view DecodeFileText(std::string_view sBytes, bool bolUtf8, std::string& storage)
{
    const bool bolAscii = std::all_of(sBytes.begin(), sBytes.end(),
                                      [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (bolAscii || (bolUtf8 && IsValidUtf8(sBytes))) {
        return sBytes;
    }
    storage = AnsiToUtf8(sBytes);
    return storage;
}

std::string Utf8ToAnsi(std::string_view sText)
{
    std::string bytes;
    bytes.reserve(sText.size());
    std::size_t pos = 0;
    while (pos < sText.size()) {
        const auto byte = static_cast<unsigned char>(sText[pos]);
        if (byte < 0x80) {
            bytes.push_back(static_cast<char>(byte));
            ++pos;
            continue;
        }
        const Utf8Char decoded = DecodeUtf8(sText, pos);
        bytes.push_back(decoded.bolValid ? EncodeCodePoint(decoded.cp) : '?');
        pos += decoded.length;
    }
    return bytes;
}

} // namespace qif2ldx::platform

namespace qif2ldx::platform {

void AppendUtf8AsAnsiXml(std::string_view sText, std::string& out)
{
    std::size_t pos = 0;
    while (pos < sText.size()) {
        // Copy the run of ASCII bytes in one go.
        std::size_t end = pos;
        while (end < sText.size() && static_cast<unsigned char>(sText[end]) < 0x80) {
            ++end;
        }
        out.append(sText.data() + pos, end - pos);
        pos = end;
        if (pos == sText.size()) {
            break;
        }
        const Utf8Char c = DecodeUtf8(sText, pos);
        pos += c.length;
        if (!c.bolValid) {
            out.push_back('?');
            continue;
        }
        const char byte = EncodeOrZero(c.cp);
        if (byte != 0) {
            out.push_back(byte);
        } else {
            out += "&#" + std::to_string(static_cast<std::uint32_t>(c.cp)) + ";";
        }
    }
}

} // namespace qif2ldx::platform
