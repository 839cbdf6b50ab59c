// SPDX-License-Identifier: MIT
#include "platform/CharsetText.h"

#include "platform/Text.h"
#include "platform/Windows1252.h"

#include <unicode/translit.h>
#include <unicode/uniset.h>
#include <unicode/unistr.h>

namespace qif2ldx::platform {
namespace {

bool IsAscii(std::string_view sText)
{
    for (const char c : sText) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

} // namespace

// The characters of the code page, and the two transforms that write the others in them, each
// kept to the characters the code page lacks.
class CharsetText::Transforms
{
public:
    Transforms()
    {
        for (int byte = 0; byte < 256; ++byte) {
            const std::string sChar = AnsiToUtf8(std::string(1, static_cast<char>(byte)));
            held_.add(icu::UnicodeString::fromUTF8(sChar).char32At(0));
        }
        icu::UnicodeSet lacked(held_);
        lacked.complement();
        held_.freeze();
        UErrorCode status = U_ZERO_ERROR;
        // Other scripts in Latin letters, then Latin letters the code page lacks without their
        // marks: Москва as Moskva, Ł as L, ő as o.
        toLatin_.reset(icu::Transliterator::createInstance("Any-Latin", UTRANS_FORWARD, status));
        toAscii_.reset(icu::Transliterator::createInstance("Latin-ASCII", UTRANS_FORWARD, status));
        if (U_FAILURE(status) || !toLatin_ || !toAscii_) {
            // Without ICU's data every character the code page lacks is written as "?".
            toLatin_.reset();
            toAscii_.reset();
            return;
        }
        toLatin_->adoptFilter(lacked.clone());
        toAscii_->adoptFilter(lacked.clone());
    }

    [[nodiscard]] bool Holds(std::string_view sText) const
    {
        return held_.containsAll(icu::UnicodeString::fromUTF8(sText));
    }

    [[nodiscard]] std::string Transliterated(std::string_view sText) const
    {
        icu::UnicodeString text = icu::UnicodeString::fromUTF8(sText);
        if (toLatin_ && toAscii_) {
            toLatin_->transliterate(text);
            toAscii_->transliterate(text);
        }
        icu::UnicodeString written;
        for (std::int32_t at = 0; at < text.length(); at = text.moveIndex32(at, 1)) {
            const UChar32 c = text.char32At(at);
            const bool bolUndefined = c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
            written.append(held_.contains(c) && !bolUndefined ? c : UChar32{'?'});
        }
        std::string out;
        written.toUTF8String(out);
        return out;
    }

private:
    icu::UnicodeSet held_;
    std::unique_ptr<icu::Transliterator> toLatin_;
    std::unique_ptr<icu::Transliterator> toAscii_;
};

CharsetText::CharsetText(std::string_view sCharset)
{
    const std::string upper = ToUpperAscii(sCharset);
    kind_ = upper == "UTF-8"          ? Kind::Utf8
            : upper == "WINDOWS-1252" ? Kind::Windows1252
                                      : Kind::Unknown;
}

CharsetText::~CharsetText() = default;

bool CharsetText::Holds(std::string_view sText) const
{
    switch (kind_) {
    case Kind::Utf8:
        return true;
    case Kind::Windows1252:
        return IsAscii(sText) || Icu().Holds(sText);
    case Kind::Unknown:
        break;
    }
    return false;
}

std::optional<unsigned char> CharsetText::UndefinedByte(std::string_view sText) const
{
    if (kind_ != Kind::Windows1252) {
        return std::nullopt;
    }
    // The five control characters are "\xC2" and the byte itself in UTF-8.
    for (std::size_t at = sText.find('\xC2'); at != std::string_view::npos && at + 1 < sText.size();
         at = sText.find('\xC2', at + 1)) {
        const auto byte = static_cast<unsigned char>(sText[at + 1]);
        if (byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D) {
            return byte;
        }
    }
    return std::nullopt;
}

std::string CharsetText::Transliterated(std::string_view sText) const
{
    if (kind_ != Kind::Windows1252 || (Holds(sText) && !UndefinedByte(sText))) {
        return std::string(sText);
    }
    return Icu().Transliterated(sText);
}

const CharsetText::Transforms& CharsetText::Icu() const
{
    if (!transforms_) {
        transforms_ = std::make_unique<Transforms>();
    }
    return *transforms_;
}

} // namespace qif2ldx::platform
