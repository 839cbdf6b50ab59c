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

// The amount a QIF amount text (UTF-8) names, with the decimal separator given ('.' or ','):
// blanks, currency signs and the other separator (thousands) are removed, and what is left must
// be an optional sign, digits, and the decimal separator with up to nine digits after it.
// nullopt for anything else.
[[nodiscard]] std::optional<Decimal> ReadAmount(std::string_view sText, char decimalSeparator);

// The amount as plain text: sign, digits, "." and the decimals, at least minScale of them;
// with groupThousands, "," between every three digits of the whole part (2,310.00).
[[nodiscard]] std::string FormatDecimal(const Decimal& amount, int minScale, bool groupThousands);

// Decides a file's decimal separator from its amounts: "," when some amount ends in "," and
// one or two digits and none holds a "." after a ","; "." otherwise.
class DecimalSeparatorEvidence
{
public:
    void Note(std::string_view sAmount);
    [[nodiscard]] char Separator() const { return bolComma_ && !bolVeto_ ? ',' : '.'; }

private:
    bool bolComma_ = false;
    bool bolVeto_ = false;
};

// The amounts of the written transactions, summed as credits and debits, both ways a file's
// decimal separator may be, until the file's amounts have said which it is.
class AmountTally
{
public:
    // One written amount, on the line given.
    void Note(std::string_view sAmount, std::int64_t line);

    [[nodiscard]] char Separator() const { return evidence_.Separator(); }
    [[nodiscard]] const Decimal& Credits() const { return Side().credits; }
    [[nodiscard]] const Decimal& Debits() const { return Side().debits; }
    // Amounts that are no numbers, with their lines; the first kMaxListed of them.
    struct NotNumber
    {
        std::int64_t line;
        std::string sText;
    };
    [[nodiscard]] const std::vector<NotNumber>& NotNumbers() const { return Side().notNumbers; }
    // Some amount holds a thousands separator (the separator that is not the decimal one).
    [[nodiscard]] bool HasThousandsSeparators() const { return Side().bolThousands; }

    static constexpr std::size_t kMaxListed = 100;

private:
    struct Sums
    {
        Decimal credits;
        Decimal debits;
        std::vector<NotNumber> notNumbers;
        bool bolThousands = false;
    };
    [[nodiscard]] const Sums& Side() const { return Separator() == ',' ? comma_ : point_; }
    static void Add(Sums& sums, std::string_view sAmount, std::int64_t line, char separator,
                    const std::optional<Decimal>& amount);

    DecimalSeparatorEvidence evidence_;
    Sums point_;
    Sums comma_;
};

} // namespace qif2ldx::qif
