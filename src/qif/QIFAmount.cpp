// SPDX-License-Identifier: MIT
#include "qif/QIFAmount.h"

#include "platform/Text.h"
#include "platform/Utf8.h"

#include <algorithm>

namespace qif2ldx::qif {
namespace {

Int128 PowerOfTen(int exponent)
{
    Int128 value = 1;
    for (int i = 0; i < exponent; ++i) {
        value *= 10;
    }
    return value;
}

// Currency signs (Unicode's Sc category in the ranges amounts use) and blanks of every kind.
bool IsDropped(char32_t cp)
{
    return cp == ' ' || cp == '\t' || cp == 0xA0 || cp == 0x202F || cp == '$' ||
           (cp >= 0xA2 && cp <= 0xA5) || cp == 0x58F || cp == 0x60B || cp == 0x9F2 || cp == 0x9F3 ||
           cp == 0xE3F || cp == 0x17DB || (cp >= 0x20A0 && cp <= 0x20C0) || cp == 0xFDFC ||
           cp == 0xFE69 || cp == 0xFF04 || cp == 0xFFE0 || cp == 0xFFE1 || cp == 0xFFE5 ||
           cp == 0xFFE6;
}

} // namespace

Decimal Decimal::operator+(const Decimal& other) const
{
    const int common = std::max(scale, other.scale);
    return {units * PowerOfTen(common - scale) + other.units * PowerOfTen(common - other.scale),
            common};
}

std::optional<Decimal> ReadAmount(std::string_view sText, char decimalSeparator)
{
    const char thousands = decimalSeparator == ',' ? '.' : ',';
    std::string kept;
    for (std::size_t pos = 0; pos < sText.size();) {
        const auto byte = static_cast<unsigned char>(sText[pos]);
        const platform::Utf8Char c =
            byte < 0x80 ? platform::Utf8Char{byte, 1, true} : platform::DecodeUtf8(sText, pos);
        pos += c.length;
        if (!c.bolValid) {
            return std::nullopt;
        }
        if (!IsDropped(c.cp) && c.cp != static_cast<char32_t>(thousands) && c.cp != '\'') {
            kept.push_back(c.cp < 0x80 ? static_cast<char>(c.cp) : '?');
        }
    }
    bool negative = false;
    std::size_t pos = 0;
    if (!kept.empty() && (kept[0] == '-' || kept[0] == '+')) {
        negative = kept[0] == '-';
        pos = 1;
    }
    static const Int128 kLimit = PowerOfTen(30); // once, not for every digit
    Decimal amount;
    bool digits = false;
    bool decimals = false;
    for (; pos < kept.size(); ++pos) {
        const char c = kept[pos];
        if (c == decimalSeparator && !decimals) {
            decimals = true;
            continue;
        }
        if (c < '0' || c > '9' || (decimals && amount.scale == Decimal::kMaxScale) ||
            amount.units > kLimit) {
            return std::nullopt;
        }
        amount.units = amount.units * 10 + (c - '0');
        amount.scale += decimals ? 1 : 0;
        digits = true;
    }
    if (!digits) {
        return std::nullopt;
    }
    if (negative) {
        amount.units = -amount.units;
    }
    return amount;
}

std::string FormatDecimal(const Decimal& amount, int minScale, bool groupThousands)
{
    Decimal shown = amount;
    if (shown.scale < minScale) {
        shown = shown + Decimal{0, minScale};
    }
    Int128 magnitude = shown.units < 0 ? -shown.units : shown.units;
    std::string digits;
    do {
        digits.push_back(static_cast<char>('0' + static_cast<int>(magnitude % 10)));
        magnitude /= 10;
    } while (magnitude > 0);
    while (static_cast<int>(digits.size()) <= shown.scale) {
        digits.push_back('0');
    }
    std::reverse(digits.begin(), digits.end());
    const std::size_t whole = digits.size() - static_cast<std::size_t>(shown.scale);
    std::string text = shown.units < 0 ? "-" : "";
    for (std::size_t i = 0; i < whole; ++i) {
        if (groupThousands && i > 0 && (whole - i) % 3 == 0) {
            text.push_back(',');
        }
        text.push_back(digits[i]);
    }
    if (shown.scale > 0) {
        text += "." + digits.substr(whole);
    }
    return text;
}

void DecimalSeparatorEvidence::Note(std::string_view sAmount)
{
    std::string_view text = sAmount;
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    const std::size_t comma = text.rfind(',');
    if (comma != std::string_view::npos) {
        const std::size_t after = text.size() - comma - 1;
        const std::string_view tail = text.substr(comma + 1);
        bolComma_ = bolComma_ || ((after == 1 || after == 2) && platform::IsAllDigits(tail));
        bolVeto_ = bolVeto_ || text.find('.', text.find(',')) != std::string_view::npos;
    }
}

void AmountTally::Note(std::string_view sAmount, std::int64_t line)
{
    evidence_.Note(sAmount);
    const std::optional<Decimal> point = ReadAmount(sAmount, '.');
    Add(point_, sAmount, line, '.', point);
    // When the point reading is a number and there is no comma, a comma separator leaves the
    // same digits, every "." being a thousands separator: the point reading's digits as a whole
    // number.
    if (point && sAmount.find(',') == std::string_view::npos) {
        Add(comma_, sAmount, line, ',',
            point ? std::optional<Decimal>(Decimal{point->units, 0}) : std::nullopt);
    } else {
        Add(comma_, sAmount, line, ',', ReadAmount(sAmount, ','));
    }
}

void AmountTally::Add(Sums& sums, std::string_view sAmount, std::int64_t line, char separator,
                      const std::optional<Decimal>& amount)
{
    sums.bolThousands =
        sums.bolThousands || sAmount.find(separator == ',' ? '.' : ',') != std::string_view::npos;
    if (!amount) {
        if (sums.notNumbers.size() < kMaxListed) {
            sums.notNumbers.push_back({line, std::string(sAmount)});
        }
        return;
    }
    Decimal& side = amount->IsNegative() ? sums.debits : sums.credits;
    side = side + *amount;
}

} // namespace qif2ldx::qif
