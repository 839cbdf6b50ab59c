// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qif2ldx::qif {

// 128 bits, so that the sum of any number of amounts of up to eighteen digits stays exact.
__extension__ using Int128 = __int128;

// An exact decimal amount: units / 10^scale. Sums of amounts are made in it, never in binary
// floating point.
struct Decimal
{
    Int128 units = 0;
    int scale = 0; // digits after the decimal separator, at most kMaxScale

    static constexpr int kMaxScale = 9;

    // The sum, at the larger of both scales.
    [[nodiscard]] Decimal operator+(const Decimal& other) const;
    [[nodiscard]] bool IsNegative() const { return units < 0; }
};

// The forms of an amount that no OFX reader takes as a number.
struct AmountForms
{
    bool bolCurrency = false;    // a currency sign or code: $-27.55, 12.00 EUR
    bool bolParentheses = false; // a negative amount in parentheses: (12.00)
};

// The amount a QIF amount text (UTF-8) names, with the decimal separator given ('.' or ','):
// blanks, currency signs, a currency code of three capital letters at either end and the
// other separator (thousands) are removed, and what is left must be an optional sign, digits,
// and the decimal separator with up to nine digits after it, or the same without a sign in
// parentheses, which is negative. nullopt for anything else. forms, when given, is told which
// of its forms a number had.
[[nodiscard]] std::optional<Decimal> ReadAmount(std::string_view sText, char decimalSeparator,
                                                AmountForms* forms = nullptr);

// The amount a QIF amount text (UTF-8) names in a file read with fileSeparator: an amount
// whose own separators read one way only (-3,50; 0,900; 1,234.56) is read that way, which is
// the file's way but where the file mixes decimal commas and decimal points.
[[nodiscard]] std::optional<Decimal> ReadFileAmount(std::string_view sText, char fileSeparator,
                                                    AmountForms* forms = nullptr);

// True when both amount texts are the same text, without their blanks at either end, or name
// the same amount read with either decimal separator (-12.5 and -12.50).
[[nodiscard]] bool SameAmount(std::string_view sFirst, std::string_view sSecond);

// The amount as plain text: sign, digits, "." and the decimals, at least minScale of them;
// with groupThousands, "," between every three digits of the whole part (2,310.00).
[[nodiscard]] std::string FormatDecimal(const Decimal& amount, int minScale, bool groupThousands);

// An amount line that tells of the decimal separator.
struct SeparatorLine
{
    std::int64_t line = 0;
    std::string sLine; // as written, cut for messages
};

// How a file's decimal separator was decided.
struct SeparatorDecision
{
    char separator = '.';
    bool bolByAmounts = false; // some amount reads one way only; otherwise "." by default
    // Some amount reads as another number with the other separator and none decided, or the
    // amounts contradict each other: the separator taken is the one the file always had.
    bool bolAmbiguous = false;
    std::int64_t line = 0; // the amount that decided, or one read both ways; 0 when none
    std::string sLine;     // that line as written, cut for messages
    // The file mixes amounts that read only with a decimal comma and amounts that read only
    // with a decimal point: the first of each. Each such amount is read the way it decides
    // (ReadFileAmount); separator is the one for the amounts that read both ways.
    struct Mixed
    {
        SeparatorLine comma;
        SeparatorLine point;
    };
    std::optional<Mixed> mixed;
};

// Decides a file's decimal separator from its amounts. An amount reads one way only when its
// last separator stands before one, two or more than three digits (-3,5; 12.50), or before
// three digits after 0 or after four digits or more (0,900; 2084,120), which no thousands
// grouping gives; when a separator repeats (1,234,567) or comes before the other (1.234,56),
// the other one is the decimal separator. Three digits after one to three others (1,234) read
// both ways. "," is taken as long as some amount ends in "," and one or two digits and none
// holds a "." after a ","; otherwise what reads one way decides, and "." when nothing does.
class DecimalSeparatorEvidence
{
public:
    // bolUtf8: the lines are UTF-8 rather than Windows-1252 (for the messages).
    explicit DecimalSeparatorEvidence(bool bolUtf8 = false) : bolUtf8_(bolUtf8) {}

    // An amount, from the line given (sLine: the whole line as written).
    void Note(std::string_view sAmount, std::int64_t line, std::string_view sLine);
    [[nodiscard]] SeparatorDecision Decide() const;

private:
    using Sighting = SeparatorLine;
    void Keep(std::optional<Sighting>& sighting, std::int64_t line, std::string_view sLine) const;

    bool bolUtf8_;
    bool bolComma_ = false;         // an amount ends in "," and one or two digits
    bool bolVeto_ = false;          // an amount holds a "." after a ","
    std::optional<Sighting> comma_; // the first amount read with a decimal comma only
    std::optional<Sighting> point_; // the first amount read with a decimal point only
    std::optional<Sighting> both_;  // the first amount read both ways, as other numbers
};

// The amounts of the written transactions, summed as credits and debits, read with the
// file's decimal separator.
class AmountTally
{
public:
    AmountTally() = default;
    explicit AmountTally(char separator) : separator_(separator) {}

    // One written amount, of the record on line, itself on amountLine.
    void Note(std::string_view sAmount, std::int64_t line, std::int64_t amountLine);
    // Takes back the amount of the record on line, noted but then not written after all:
    // amount as Note read it, nullopt for one that is no number. The forms seen stay seen.
    void Forget(const std::optional<Decimal>& amount, std::int64_t line);

    [[nodiscard]] char Separator() const { return separator_; }
    [[nodiscard]] const Decimal& Credits() const { return credits_; }
    [[nodiscard]] const Decimal& Debits() const { return debits_; }
    // Amounts that are no numbers, with their lines; the first kMaxListed of them.
    struct NotNumber
    {
        std::int64_t line;
        std::string sText;
    };
    [[nodiscard]] const std::vector<NotNumber>& NotNumbers() const { return notNumbers_; }
    // Some amount holds a thousands separator (the separator that is not the decimal one).
    [[nodiscard]] bool HasThousandsSeparators() const { return bolThousands_; }
    // The first amount of a form no OFX reader takes as a number: its line and its text.
    struct Sighting
    {
        std::int64_t line = 0;
        std::string sText;
    };
    [[nodiscard]] const std::optional<Sighting>& CurrencySign() const { return currency_; }
    [[nodiscard]] const std::optional<Sighting>& Parentheses() const { return parentheses_; }

    static constexpr std::size_t kMaxListed = 100;

private:
    char separator_ = '.';
    Decimal credits_;
    Decimal debits_;
    std::vector<NotNumber> notNumbers_;
    bool bolThousands_ = false;
    std::optional<Sighting> currency_;
    std::optional<Sighting> parentheses_;
};

} // namespace qif2ldx::qif
