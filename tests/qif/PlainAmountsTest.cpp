// SPDX-License-Identifier: MIT
#include "ConversionFixture.h"
#include "platform/Windows1252.h"

namespace qif2ldx::test {
namespace {

// Conversions with the portable profile, whose amounts are plain decimals.
class PlainAmounts : public ConversionFixture
{
protected:
    PlainAmounts() { options.objProfile = &statement::kPortableProfile; }

    // Each STMTTRN as "date amount".
    std::vector<std::string> Transactions() const
    {
        return Matches("<DTPOSTED>(.*?)</DTPOSTED><TRNAMT>(.*?)</TRNAMT>");
    }
};

std::string Records(const std::vector<std::string>& amounts)
{
    std::string text = "!Type:Bank\r\n";
    for (const std::string& amount : amounts) {
        text += "D01/11/2026\r\nT" + amount + "\r\nPp\r\n^\r\n";
    }
    return text;
}

TEST_F(PlainAmounts, AmountsAreReadWithTheFilesDecimalSeparator)
{
    const struct
    {
        std::vector<std::string> amounts, written;
        char separator;
        bool ambiguous; // nothing decided, or the amounts contradict each other
    } cases[] = {
        {{"-1,234.56", "$12.00", "+7", "1 000.5"},
         {"-1234.56", "12.00", "7", "1000.5"},
         '.',
         false},
        {{"1.234,56", "-3,5", "\x80 2.000"}, {"1234.56", "-3.5", "2000"}, ',', false},
        // Amounts that contradict each other are each read as their form decides.
        {{"12,50", "1,234.56", "1,234"}, {"12.50", "1234.56", "1234"}, '.', true},
        {{"0,900", "1.50"}, {"0.900", "1.50"}, '.', true},
        // No grouping begins with 0 or with four digits: a decimal comma with three decimals.
        {{"-20,000", "-0,900", "2084,120"}, {"-20.000", "-0.900", "2084.120"}, ',', false},
        {{"1,234", "2084.120"}, {"1234", "2084.120"}, '.', false},
        {{"1.234.567", "-2.084,120"}, {"1234567", "-2084.120"}, ',', false},
        // Currency signs and codes on either side, and an accountant's negative.
        {{"$-27.55", "(12.00)", "EUR 5.00", "-3.10USD", "(\xA3 1,000.00)"},
         {"-27.55", "-12.00", "5.00", "-3.10", "-1000.00"},
         '.',
         false},
        // Read both ways, and nothing decides: as always, with a warning.
        {{"1,234", "-5,678"}, {"1234", "-5678"}, '.', true},
    };
    for (const auto& c : cases) {
        options.objProfile = &statement::kPortableProfile;
        ASSERT_TRUE(Convert(Records(c.amounts)));
        std::vector<std::string> expected;
        for (const std::string& amount : c.written) {
            expected.push_back("20261101 " + amount);
        }
        EXPECT_EQ(Transactions(), expected) << c.amounts[0];
        EXPECT_TRUE(report.leftOut.empty());
        EXPECT_EQ(report.decimalSeparator.separator, c.separator) << c.amounts[0];
        EXPECT_EQ(report.decimalSeparator.bolAmbiguous, c.ambiguous) << c.amounts[0];
        // Both profiles read the amounts alike, for the sums and the receipt.
        const qif::Decimal credits = report.amounts.Credits();
        options.objProfile = &statement::kLodestrandProfile;
        ASSERT_TRUE(Convert(Records(c.amounts)));
        EXPECT_EQ(report.decimalSeparator.separator, c.separator) << c.amounts[0];
        EXPECT_EQ(report.amounts.Credits().units, credits.units) << c.amounts[0];
    }
}

TEST_F(PlainAmounts, Windows1252AmountsReadAsTheirUtf8Twin)
{
    const struct
    {
        std::string text; // Windows-1252
        std::vector<std::string> written;
    } cases[] = {
        {"D15/01/2024\nT-12,50 \x80\n^\nD16/01/2024\nT1.234,56\xA0\x80\n^\n",
         {"20240115 -12.50", "20240116 1234.56"}},
        {"D15/01/2024\nT-1\xA0"
         "234,56\n^\n",
         {"20240115 -1234.56"}},
        // A nameless record of an account list that reads as a transaction.
        {"!Account\nNSavings\nTBank\n^\nD01/02/2024\nT-1,00 \xA3\n^\n", {"20240201 -1.00"}},
        // "U" and "T" of one amount are one amount.
        {"D15/01/2024\nU-12,50 \x80\nT-12,50\n^\n", {"20240115 -12.50"}},
    };
    for (const auto& c : cases) {
        for (const std::string& text : {c.text, platform::AnsiToUtf8(c.text)}) {
            ASSERT_TRUE(Convert(text));
            EXPECT_EQ(Transactions(), c.written) << text;
            EXPECT_TRUE(report.severalValues.empty()) << text;
        }
    }
}

TEST_F(PlainAmounts, CurrencySignsAndParenthesesAreNamedAndKeptInTheDefaultStatement)
{
    options.objProfile = &statement::kLodestrandProfile;
    ASSERT_TRUE(Convert(Records({"-1.00", "$-27.55", "(12.00)"})));
    EXPECT_EQ(Transactions(),
              (std::vector<std::string>{"20261101 -1.00", "20261101 $-27.55", "20261101 (12.00)"}));
    ASSERT_TRUE(report.amounts.CurrencySign().has_value());
    EXPECT_EQ(report.amounts.CurrencySign()->line, 7);
    ASSERT_TRUE(report.amounts.Parentheses().has_value());
    EXPECT_EQ(report.amounts.Parentheses()->sText, "(12.00)");
    EXPECT_EQ(qif::FormatDecimal(report.amounts.Debits(), 2, false), "-40.55");
}

TEST_F(PlainAmounts, RecordWhoseAmountIsNoNumberIsLeftOutWithItsReason)
{
    ASSERT_TRUE(Convert(Records({"-5.00", "n/a", "1.2.3", "(-4.00)"})));
    EXPECT_EQ(Transactions(), std::vector<std::string>{"20261101 -5.00"});
    EXPECT_EQ(report.written, 1);
    EXPECT_EQ(report.records, 4);
    ASSERT_EQ(report.leftOut.size(), 3U);
    EXPECT_EQ(report.leftOut[0].line, 6);
    EXPECT_EQ(report.leftOut[0].reason, qif::LeftOutReason::AmountNotANumber);
    EXPECT_EQ(report.leftOut[1].line, 10);
    EXPECT_STREQ(qif::LeftOutText(report.leftOut[1].reason), "amount not a number");
}

TEST_F(PlainAmounts, DatesAreDecidedOnceForBothReadings)
{
    ASSERT_TRUE(Convert("D01/05/2026\r\nT1,5\r\n^\r\nD12/25/2026\r\nT-2\r\n^\r\n"));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Transactions(), (std::vector<std::string>{"20260105 1.5", "20261225 -2"}));
}

} // namespace
} // namespace qif2ldx::test
