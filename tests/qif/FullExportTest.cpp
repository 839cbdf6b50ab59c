// SPDX-License-Identifier: MIT
#include "ConversionFixture.h"

namespace qif2ldx::test {
namespace {

// A full export as Quicken writes one: an account block, then its transactions, the first of
// which is the account's opening balance.
const std::string kExport = "!Option:AutoSwitch\n!Account\nNChecking\nTBank\n^\n"
                            "NEveryday Card\nTCCard\n^\nNLoan\nTOth L\n^\n!Clear:AutoSwitch\n"
                            "!Account\nNChecking\nTBank\n^\n!Type:Bank\n"
                            "D01/01/2020\nT100.00\nCX\nPOpening Balance\nL[Checking]\n^\n"
                            "D15/02/2020\nT-5.00\nPShop\n^\nD16/02/2020\nT-6.00\nPBakery\n^\n"
                            "!Account\nNEveryday Card\nTCCard\n^\n!Type:CCard\n"
                            "D20/02/2020\nT-7.00\nPFuel\n^\n"
                            "!Account\nNLoan\nTOth L\n^\n!Type:Oth L\n"
                            "D01/01/2019\nT-50,000.00\nPOpening Balance\nL[Loan]\n^\n";

// A file, the account asked for or chosen, and what is written.
struct ExportCase
{
    const char* what;
    std::string text;
    std::optional<std::string> given;                 // --qif-account
    std::optional<std::optional<std::string>> answer; // what the chooser says, when asked
    std::vector<std::string> transactions;            // "date amount"
    std::string period;                               // "start-end"
    qif::FailureKind failure = qif::FailureKind::None;
};

void PrintTo(const ExportCase& c, std::ostream* out)
{
    *out << c.what;
}

class FullExports : public ConversionFixture, public ::testing::WithParamInterface<ExportCase>
{};

TEST_P(FullExports, TakeOneAccountOrAllWithoutOpeningBalances)
{
    const ExportCase& c = GetParam();
    options.sQifAccount = c.given;
    std::vector<qif::QifAccount> listed;
    chooseAccount = [&](const std::vector<qif::QifAccount>& accounts) {
        listed = accounts;
        return c.answer ? *c.answer : std::optional<std::string>(std::string());
    };
    ASSERT_EQ(Convert(c.text), c.failure == qif::FailureKind::None) << failure.sReason;
    EXPECT_EQ(failure.kind, c.failure);
    if (c.failure != qif::FailureKind::None) {
        return;
    }
    EXPECT_EQ(Matches("<DTPOSTED>(.*?)</DTPOSTED><TRNAMT>(.*?)</TRNAMT>"), c.transactions);
    EXPECT_EQ(report.sStartDate + "-" + report.sEndDate, c.period);
    // The period the dates read as leaves the opening balances out too.
    const auto& read = report.dates.periods.at(static_cast<std::size_t>(report.dates.order));
    EXPECT_EQ(read ? read->sStart + "-" + read->sEnd : "-", c.period);
    // The chooser hears of the accounts with transactions only when nobody named one.
    EXPECT_EQ(listed.size(), c.given || c.text != kExport ? 0U : 2U);
}

const ExportCase kExportCases[] = {
    {"all accounts, the opening balances left out",
     kExport,
     std::nullopt,
     std::nullopt,
     {"20200215 -5.00", "20200216 -6.00", "20200220 -7.00"},
     "20200215-20200220"},
    {"one account by its name, in any case and with blanks",
     kExport,
     " checking ",
     std::nullopt,
     {"20200215 -5.00", "20200216 -6.00"},
     "20200215-20200216"},
    {"an account of nothing but its opening balance", kExport, "Loan", std::nullopt, {}, "-"},
    {"a name the file does not hold",
     kExport,
     "Savings",
     std::nullopt,
     {},
     "",
     qif::FailureKind::UnknownQifAccount},
    // A Windows-1252 name, and one typed in UTF-8 in another letter case.
    {"letter case beyond ASCII",
     "!Account\nN\xC9pargne\nTBank\n^\n!Type:Bank\nD02/01/2020\nT-5\n^\n",
     "\xC3\xA9PARGNE",
     std::nullopt,
     {"20200102 -5"},
     "20200102-20200102"},
    {"the account chosen when asked",
     kExport,
     std::nullopt,
     std::optional<std::string>("Everyday Card"),
     {"20200220 -7.00"},
     "20200220-20200220"},
    {"the question declined",
     kExport,
     std::nullopt,
     std::optional<std::string>(),
     {},
     "",
     qif::FailureKind::Cancelled},
    {"an opening balance where the file names no account",
     "!Type:Bank\nD01/01/2020\nT100\nPOpening Balance\nL[Current]\n^\nD02/01/2020\nT-5\n^\n",
     std::nullopt,
     std::nullopt,
     {"20200102 -5"},
     "20200102-20200102"},
    {"a payee of that name later on is a transaction",
     "!Type:Bank\nD02/01/2020\nT-5\n^\nD03/01/2020\nT100\nPOpening Balance\nL[Current]\n^\n",
     std::nullopt,
     std::nullopt,
     {"20200102 -5", "20200103 100"},
     "20200102-20200103"},
};

INSTANTIATE_TEST_SUITE_P(Files, FullExports, ::testing::ValuesIn(kExportCases),
                         [](const auto& param) { return std::to_string(param.index); });

TEST_F(ConversionFixture, FullExportCountsEveryAccountAndNamesTheOneTaken)
{
    ASSERT_TRUE(Convert(kExport));
    ASSERT_EQ(report.qifAccounts.size(), 3U);
    EXPECT_EQ(report.qifAccounts[1].sName, "Everyday Card");
    EXPECT_EQ(report.qifAccounts[1].sType, "CCard");
    EXPECT_EQ(report.qifAccounts[0].transactions, 2);
    EXPECT_EQ(report.qifAccounts[2].transactions, 0);
    EXPECT_EQ(report.sQifAccount, "");
    options.sQifAccount = "CHECKING";
    ASSERT_TRUE(Convert(kExport));
    EXPECT_EQ(report.sQifAccount, "Checking");
    EXPECT_EQ(report.otherAccountRecords, 2);
    const auto opening = std::find_if(report.leftOut.begin(), report.leftOut.end(), [](auto& left) {
        return left.reason == qif::LeftOutReason::OpeningBalance;
    });
    ASSERT_NE(opening, report.leftOut.end());
    EXPECT_EQ(opening->line, 18);
}

TEST_F(ConversionFixture, AccountTakenStaysTakenWhenTheDatesAreReadAnotherWay)
{
    options.sQifAccount = "A";
    answerOrder = qif::DateOrder::MonthFirst;
    ASSERT_TRUE(Convert("!Account\nNA\nTBank\n^\n!Type:Bank\nD01/02/2020\nT-1\n^\n"
                        "!Account\nNB\nTBank\n^\n!Type:Bank\nD03/04/2020\nT-2\n^\n"));
    EXPECT_EQ(Matches("<DTPOSTED>(.*?)</DTPOSTED><TRNAMT>(.*?)</TRNAMT>"),
              std::vector<std::string>{"20200102 -1"});
}

} // namespace
} // namespace qif2ldx::test
