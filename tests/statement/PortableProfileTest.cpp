// SPDX-License-Identifier: MIT
#include "StatementFixture.h"

#include <regex>
#include <set>

namespace qif2ldx::test {
namespace {

using records::CQIFTx;

const CQIFTx kCharge{"20261102", "-23.40", "ATM", "", "Bookworm", "novel", ""};
const CQIFTx kRefund{"20261115", "30.00", "000123", "", "Electro World", "refund", ""};

class PortableProfile : public StatementFixture
{
protected:
    PortableProfile() { profile = &statement::kPortableProfile; }

    // The FITIDs of the statement, in order.
    std::vector<std::string> FitIds() const
    {
        const std::string body = Body();
        const std::regex fitid("<FITID>(.*?)</FITID>");
        std::vector<std::string> found;
        for (auto it = std::sregex_iterator(body.begin(), body.end(), fitid);
             it != std::sregex_iterator(); ++it) {
            found.push_back((*it)[1].str());
        }
        return found;
    }
};

TEST_F(PortableProfile, HeaderHasNoBlankAfterTheColons)
{
    ASSERT_TRUE(WriteStatement(BankAccount(), {kRefund}, "20261115", "20261115"))
        << verified.value_or("");
    const std::string header = "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:NONE\r\n"
                               "ENCODING:USASCII\r\nCHARSET:1252\r\nCOMPRESSION:NONE\r\n"
                               "OLDFILEUID:NONE\r\nNEWFILEUID:NONE\r\n<OFX>";
    EXPECT_EQ(ReadBytes(path).substr(0, header.size()), header);
}

TEST_F(PortableProfile, CardChargeIsADebitAndNonDigitNumbersAreReferences)
{
    ASSERT_TRUE(WriteStatement(CardAccount(), {kCharge, kRefund}, "20261102", "20261115"))
        << verified.value_or("");
    const std::string body = Body();
    EXPECT_THAT(body, ::testing::HasSubstr(
                          "<TRNTYPE>DEBIT</TRNTYPE><DTPOSTED>20261102</DTPOSTED><TRNAMT>-23.40"));
    EXPECT_THAT(body, ::testing::HasSubstr(
                          "<TRNTYPE>CREDIT</TRNTYPE><DTPOSTED>20261115</DTPOSTED><TRNAMT>30.00"));
    EXPECT_THAT(body, ::testing::HasSubstr("</FITID><REFNUM>ATM</REFNUM><NAME>Bookworm</NAME>"));
    EXPECT_THAT(body, ::testing::HasSubstr("</FITID><CHECKNUM>000123</CHECKNUM><NAME>Electro"));
}

TEST_F(PortableProfile, NumbersGoWhereTheirTextFits)
{
    const struct
    {
        std::string sNum, expected;
    } cases[] = {
        {"1024", "<CHECKNUM>1024</CHECKNUM>"},
        {"12345678901234", "<CHECKNUM>345678901234</CHECKNUM>"},
        {"12 4", "<REFNUM>12 4</REFNUM>"},
        {"TXFR", "<REFNUM>TXFR</REFNUM>"},
        {std::string(8, 'x') + std::string(32, 'R'), "<REFNUM>" + std::string(32, 'R') + "</"},
        {"", "</FITID><NAME>"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteStatement(BankAccount(), {{"20261101", "1", c.sNum, "", "p", "", ""}},
                                   "20261101", "20261101"))
            << verified.value_or("");
        EXPECT_THAT(Body(), ::testing::HasSubstr(c.expected)) << c.sNum;
    }
}

TEST_F(PortableProfile, EmptyStatementIsDatedToday)
{
    ASSERT_TRUE(WriteStatement(BankAccount(), {}, "", "")) << verified.value_or("");
    EXPECT_THAT(Body(), ::testing::HasSubstr(
                            "<BANKTRANLIST><DTSTART>20261207</DTSTART><DTEND>20261207</DTEND>"
                            "</BANKTRANLIST><LEDGERBAL><BALAMT>0.00</BALAMT><DTASOF>20261207"
                            "</DTASOF></LEDGERBAL>"));
}

TEST_F(PortableProfile, OtherwiseTheBodyIsTheLodestrandOne)
{
    const std::vector<CQIFTx> txns = {{"20261101", "-45.20", "1024", "", "A&B <x>", "m", ""},
                                      {"20261102", "10", "", "", "", "memo only", ""}};
    ASSERT_TRUE(WriteStatement(BankAccount(), txns, "20261101", "20261102"))
        << verified.value_or("");
    std::string portable = Body();
    const std::vector<std::string> ids = FitIds();
    for (std::size_t i = 0; i < ids.size(); ++i) {
        portable.replace(portable.find(ids[i]), ids[i].size(), std::to_string(i));
    }
    profile = &statement::kLodestrandProfile;
    ASSERT_TRUE(WriteStatement(BankAccount(), txns, "20261101", "20261102"));
    EXPECT_EQ(portable, Body());
}

TEST_F(PortableProfile, FitIdsFollowTheContentNotThePosition)
{
    const CQIFTx kNextCharge{"20261202", "-23.40", "ATM", "", "Bookworm", "novel", ""};
    const CQIFTx kNextRefund{"20261215", "30.00", "000123", "", "Electro World", "refund", ""};
    ASSERT_TRUE(WriteStatement(CardAccount(), {kCharge, kRefund, kCharge}, "20261102", "20261115"))
        << verified.value_or("");
    const std::vector<std::string> first = FitIds();
    ASSERT_EQ(first.size(), 3U);
    // The same transactions again give the same FITIDs, this program version or the next.
    EXPECT_EQ(first[0], "1d943ccd2759242556fcdc86aeb7157d");
    ASSERT_TRUE(WriteStatement(CardAccount(), {kCharge, kRefund, kCharge}, "20261102", "20261115"));
    EXPECT_EQ(FitIds(), first);
    EXPECT_EQ(std::set<std::string>(first.begin(), first.end()).size(), 3U);
    for (const std::string& id : first) {
        EXPECT_TRUE(std::regex_match(id, std::regex("[0-9a-f]{32}"))) << id;
    }
    ASSERT_TRUE(WriteStatement(CardAccount(), {kNextCharge, kNextRefund}, "20261202", "20261215"));
    for (const std::string& id : FitIds()) {
        EXPECT_EQ(std::find(first.begin(), first.end(), id), first.end()) << id;
    }
    // Another account's identical transaction is another transaction.
    records::CAcctInfo other = CardAccount();
    other.AcctNum = "4000000000000002";
    ASSERT_TRUE(WriteStatement(other, {kCharge}, "20261102", "20261102"));
    EXPECT_NE(FitIds().at(0), first[0]);
}

TEST_F(PortableProfile, FitIdsStayUniqueAndStableInALargeStatementOfPairs)
{
    std::vector<CQIFTx> txns;
    for (int i = 0; i < 3000; ++i) {
        txns.push_back({"20261101", std::to_string(i / 2) + ".00", "", "", "p", "", ""});
    }
    ASSERT_TRUE(WriteStatement(BankAccount(), txns, "20261101", "20261101"))
        << verified.value_or("");
    const std::vector<std::string> first = FitIds();
    ASSERT_EQ(first.size(), txns.size());
    EXPECT_EQ(std::set<std::string>(first.begin(), first.end()).size(), txns.size());
    ASSERT_TRUE(WriteStatement(BankAccount(), txns, "20261101", "20261101"));
    EXPECT_EQ(FitIds(), first);
}

} // namespace
} // namespace qif2ldx::test
