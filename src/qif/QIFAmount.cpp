// SPDX-License-Identifier: MIT
#include "qif/QIFAmount.h"

#include "platform/Text.h"
#include "platform/Utf8.h"
#include "platform/Windows1252.h"

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

bool IsBlank(char32_t cp)
{
    return cp == ' ' || cp == '\t' || cp == 0xA0 || cp == 0x202F;
}

// Currency signs (Unicode's Sc category in the ranges amounts use) and blanks of every kind.
bool IsDropped(char32_t cp)
{
    return IsBlank(cp) || cp == '$' || (cp >= 0xA2 && cp <= 0xA5) || cp == 0x58F || cp == 0x60B ||
           cp == 0x9F2 || cp == 0x9F3 || cp == 0xE3F || cp == 0x17DB ||
           (cp >= 0x20A0 && cp <= 0x20C0) || cp == 0xFDFC || cp == 0xFE69 || cp == 0xFF04 ||
           cp == 0xFFE0 || cp == 0xFFE1 || cp == 0xFFE5 || cp == 0xFFE6;
}

// Removes three capital letters (a currency code: USD, EUR) from either end of an amount's
// kept characters; true when it did.
bool DropCurrencyCode(std::string& kept)
{
    const auto code = [&kept](std::size_t at) {
        return std::all_of(kept.begin() + static_cast<std::ptrdiff_t>(at),
                           kept.begin() + static_cast<std::ptrdiff_t>(at) + 3,
                           [](char c) { return c >= 'A' && c <= 'Z'; });
    };
    if (kept.size() <= 3) {
        return false;
    }
    if (code(0)) {
        kept.erase(0, 3);
        return true;
    }
    if (code(kept.size() - 3)) {
        kept.resize(kept.size() - 3);
        return true;
    }
    return false;
}

// What an amount's separators say of the decimal separator.
enum class Reads
{
    Nothing, // no separator, or none that tells
    Comma,   // only a decimal comma reads it
    Point,   // only a decimal point reads it
    Both     // it reads both ways, as other numbers
};

Reads SeparatorShape(std::string_view sAmount)
{
    // Only digits and separators count; blanks, signs and currency signs are passed over.
    std::size_t commas = 0;
    std::size_t points = 0;
    std::size_t lastComma = std::string_view::npos;
    std::size_t lastPoint = std::string_view::npos;
    for (std::size_t i = 0; i < sAmount.size(); ++i) {
        if (sAmount[i] == ',') {
            ++commas;
            lastComma = i;
        } else if (sAmount[i] == '.') {
            ++points;
            lastPoint = i;
        }
    }
    if (commas == 0 && points == 0) {
        return Reads::Nothing;
    }
    if (commas > 0 && points > 0) {
        // The one that comes last is the decimal separator, when it stands once.
        const bool commaLast = lastComma > lastPoint;
        if ((commaLast ? commas : points) != 1) {
            return Reads::Nothing;
        }
        return commaLast ? Reads::Comma : Reads::Point;
    }
    const Reads own = commas > 0 ? Reads::Comma : Reads::Point;
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (commas + points > 1) {
        // It repeats: it groups thousands, when three digits follow each (1,234,567); 1.2.3
        // is no number either way.
        const char separator = commas > 0 ? ',' : '.';
        std::size_t digits = 0;
        bool grouped = true;
        bool first = true;
        for (const char c : sAmount) {
            if (c == separator) {
                grouped = grouped && (first || digits == 3);
                first = false;
                digits = 0;
            } else if (isDigit(c)) {
                ++digits;
            }
        }
        if (!grouped || digits != 3) {
            return Reads::Nothing;
        }
        return own == Reads::Comma ? Reads::Point : Reads::Comma;
    }
    const std::size_t at = commas > 0 ? lastComma : lastPoint;
    const auto after = std::count_if(sAmount.begin() + static_cast<std::ptrdiff_t>(at) + 1,
                                     sAmount.end(), isDigit);
    if (after == 0) {
        return Reads::Nothing;
    }
    if (after != 3) {
        return own;
    }
    // Three digits: a grouping begins with one to three digits, and never with 0.
    const auto headEnd = sAmount.begin() + static_cast<std::ptrdiff_t>(at);
    const auto head = std::count_if(sAmount.begin(), headEnd, isDigit);
    const auto first = std::find_if(sAmount.begin(), headEnd, isDigit);
    return head == 0 || *first == '0' || head >= 4 ? own : Reads::Both;
}

// The decimal separator an amount is read with in a file read with fileSeparator.
char SeparatorOf(std::string_view sAmount, char fileSeparator)
{
    const Reads shape = SeparatorShape(sAmount);
    return shape == Reads::Comma ? ',' : shape == Reads::Point ? '.' : fileSeparator;
}

} // namespace

Decimal Decimal::operator+(const Decimal& other) const
{
    const int common = std::max(scale, other.scale);
    return {units * PowerOfTen(common - scale) + other.units * PowerOfTen(common - other.scale),
            common};
}

std::optional<Decimal> ReadAmount(std::string_view sText, char decimalSeparator, AmountForms* forms)
{
    const char thousands = decimalSeparator == ',' ? '.' : ',';
    std::string kept;
    AmountForms found;
    for (std::size_t pos = 0; pos < sText.size();) {
        const auto byte = static_cast<unsigned char>(sText[pos]);
        const platform::Utf8Char c =
            byte < 0x80 ? platform::Utf8Char{byte, 1, true} : platform::DecodeUtf8(sText, pos);
        pos += c.length;
        if (!c.bolValid) {
            return std::nullopt;
        }
        const bool dropped = IsDropped(c.cp);
        found.bolCurrency = found.bolCurrency || (dropped && !IsBlank(c.cp));
        if (!dropped && c.cp != static_cast<char32_t>(thousands) && c.cp != '\'') {
            kept.push_back(c.cp < 0x80 ? static_cast<char>(c.cp) : '?');
        }
    }
    // A currency code before or after the number (USD 12.00, 12.00EUR), then an accountant's
    // negative in parentheses, (12.00) or ($12.00).
    found.bolCurrency = DropCurrencyCode(kept) || found.bolCurrency;
    if (kept.size() >= 2 && kept.front() == '(' && kept.back() == ')') {
        kept = kept.substr(1, kept.size() - 2);
        found.bolParentheses = true;
        found.bolCurrency = DropCurrencyCode(kept) || found.bolCurrency;
    }
    bool negative = found.bolParentheses;
    std::size_t pos = 0;
    if (!kept.empty() && (kept[0] == '-' || kept[0] == '+')) {
        if (found.bolParentheses) {
            return std::nullopt; // a sign inside the parentheses says nothing clear
        }
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
    if (forms != nullptr) {
        *forms = found;
    }
    return amount;
}

std::optional<Decimal> ReadFileAmount(std::string_view sText, char fileSeparator,
                                      AmountForms* forms)
{
    return ReadAmount(sText, SeparatorOf(sText, fileSeparator), forms);
}

bool SameAmount(std::string_view sFirst, std::string_view sSecond)
{
    if (sFirst == sSecond || platform::TrimBlanks(sFirst) == platform::TrimBlanks(sSecond)) {
        return true;
    }
    for (const char separator : {'.', ','}) {
        const std::optional<Decimal> first = ReadAmount(sFirst, separator);
        const std::optional<Decimal> second = ReadAmount(sSecond, separator);
        if (first && second && (*first + Decimal{-second->units, second->scale}).units == 0) {
            return true;
        }
    }
    return false;
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

void DecimalSeparatorEvidence::Note(std::string_view sAmount, std::int64_t line,
                                    std::string_view sLine)
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
    const Reads shape = SeparatorShape(text);
    // Only an amount that reads as a number some way says anything; and once a reading has
    // been seen, another amount of it adds nothing.
    std::optional<Sighting>& sighting = shape == Reads::Comma   ? comma_
                                        : shape == Reads::Point ? point_
                                                                : both_;
    if (shape == Reads::Nothing || sighting || (shape != Reads::Point && !ReadAmount(text, ',')) ||
        (shape != Reads::Comma && !ReadAmount(text, '.'))) {
        return;
    }
    Keep(sighting, line, sLine);
}

void DecimalSeparatorEvidence::Keep(std::optional<Sighting>& sighting, std::int64_t line,
                                    std::string_view sLine) const
{
    sighting = Sighting{line, platform::Excerpt(platform::DecodeFileText(sLine, bolUtf8_))};
}

SeparatorDecision DecimalSeparatorEvidence::Decide() const
{
    SeparatorDecision decision;
    const auto take = [&decision](const Sighting& sighting) {
        decision.line = sighting.line;
        decision.sLine = sighting.sLine;
    };
    if (comma_ && point_) {
        // The amounts contradict each other: each that reads one way only is read that way;
        // those that read both ways follow the rule the file was always read by.
        decision.separator = bolComma_ && !bolVeto_ ? ',' : '.';
        decision.bolByAmounts = true;
        decision.bolAmbiguous = true;
        decision.mixed = SeparatorDecision::Mixed{*comma_, *point_};
        take(decision.separator == ',' ? *comma_ : *point_);
    } else if (comma_ || point_) {
        decision.separator = comma_ ? ',' : '.';
        decision.bolByAmounts = true;
        take(comma_ ? *comma_ : *point_);
    } else if (both_) {
        decision.bolAmbiguous = true;
        take(*both_);
    }
    return decision;
}

void AmountTally::Note(std::string_view sAmount, std::int64_t line, std::int64_t amountLine)
{
    const char decimal = SeparatorOf(sAmount, separator_);
    bolThousands_ =
        bolThousands_ || sAmount.find(decimal == ',' ? '.' : ',') != std::string_view::npos;
    AmountForms forms;
    const std::optional<Decimal> amount = ReadAmount(sAmount, decimal, &forms);
    if (forms.bolCurrency && !currency_) {
        currency_ = Sighting{amountLine, platform::Excerpt(sAmount)};
    }
    if (forms.bolParentheses && !parentheses_) {
        parentheses_ = Sighting{amountLine, platform::Excerpt(sAmount)};
    }
    if (!amount) {
        if (notNumbers_.size() < kMaxListed) {
            notNumbers_.push_back({line, std::string(sAmount)});
        }
        return;
    }
    Decimal& side = amount->IsNegative() ? debits_ : credits_;
    side = side + *amount;
}

void AmountTally::Forget(const std::optional<Decimal>& amount, std::int64_t line)
{
    if (!amount) {
        std::erase_if(notNumbers_, [line](const NotNumber& entry) { return entry.line == line; });
        return;
    }
    Decimal& side = amount->IsNegative() ? debits_ : credits_;
    side = side + Decimal{-amount->units, amount->scale};
}

} // namespace qif2ldx::qif
