// SPDX-License-Identifier: MIT
#include "qif/CQIFFile.h"
#include "support/FixedClock.h"
#include "support/FixedProgramFolder.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <regex>

namespace qif2ldx::test {
namespace {

const records::CAcctInfo kAccount{"Everyday", "CHECKING", "USD", "12345678", "062000", "10001"};

// Conversions with the portable profile, whose amounts are plain decimals.
class PlainAmounts : public ::testing::Test
{
protected:
    bool Convert(const std::string& bytes)
    {
        WriteBytes(qifPath, bytes);
        qif::CQIFFile file(messages, folder, clock);
        if (!file.OpenFile(qifPath)) {
            return false;
        }
        qif::ConversionOptions options;
        options.bolReplace = true;
        options.objProfile = &statement::kPortableProfile;
        file.SetOptions(options);
        file.SetConfirmDateOrder([this](const qif::DateDecision&) {
            ++asked;
            return true;
        });
        const bool ok = file.ConvertQIFtoLDX(ldx, kAccount);
        report = file.Report();
        return ok;
    }

    // Each STMTTRN as "date amount".
    std::vector<std::string> Transactions() const
    {
        const std::string body = ReadBytes(ldx);
        const std::regex txn("<DTPOSTED>(.*?)</DTPOSTED><TRNAMT>(.*?)</TRNAMT>");
        std::vector<std::string> found;
        for (auto it = std::sregex_iterator(body.begin(), body.end(), txn);
             it != std::sregex_iterator(); ++it) {
            found.push_back((*it)[1].str() + " " + (*it)[2].str());
        }
        return found;
    }

    TempDir dir;
    std::string qifPath = dir.File("in.qif");
    std::string ldx = dir.File("out.LDX");
    test::MessageRecorder messages;
    test::FixedProgramFolder folder{dir.Path().string()};
    test::FixedClock clock{{2026, 12, 7}};
    qif::ReadReport report;
    int asked = 0;
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
    } cases[] = {
        {{"-1,234.56", "$12.00", "+7", "1 000.5"}, {"-1234.56", "12.00", "7", "1000.5"}},
        {{"1.234,56", "-3,5", "\x80 2.000"}, {"1234.56", "-3.5", "2000"}},
        // A "." after a "," says the comma groups thousands, in every amount of the file.
        {{"12,50", "1,234.56"}, {"1250", "1234.56"}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Convert(Records(c.amounts)));
        std::vector<std::string> expected;
        for (const std::string& amount : c.written) {
            expected.push_back("20261101 " + amount);
        }
        EXPECT_EQ(Transactions(), expected) << c.amounts[0];
        EXPECT_TRUE(report.leftOut.empty());
    }
}

TEST_F(PlainAmounts, RecordWhoseAmountIsNoNumberIsLeftOutWithItsReason)
{
    ASSERT_TRUE(Convert(Records({"-5.00", "n/a", "1.2.3"})));
    EXPECT_EQ(Transactions(), std::vector<std::string>{"20261101 -5.00"});
    EXPECT_EQ(report.written, 1);
    EXPECT_EQ(report.records, 3);
    ASSERT_EQ(report.leftOut.size(), 2U);
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
