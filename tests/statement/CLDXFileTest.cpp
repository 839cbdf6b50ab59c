// SPDX-License-Identifier: MIT
#include "StatementFixture.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <sys/stat.h>

namespace qif2ldx::test {
namespace {

using records::CQIFTx;

const records::CQIFTx kGrocer{"20261130", "-45.20", "1024", "", "CORNER GROCER", "weekly shop", ""};

class CLDXFileTest : public StatementFixture
{
protected:
    // The STMTTRN elements of the body, in order.
    std::vector<std::string> Transactions() const
    {
        std::vector<std::string> found;
        const std::string body = Body();
        for (std::size_t pos = body.find("<STMTTRN>"); pos != std::string::npos;
             pos = body.find("<STMTTRN>", pos + 1)) {
            const std::size_t end = body.find("</STMTTRN>", pos) + 10;
            found.push_back(body.substr(pos, end - pos));
        }
        return found;
    }
};

TEST_F(CLDXFileTest, WorkedExampleForABankAccountByteForByte)
{
    ASSERT_TRUE(WriteStatement(BankAccount(), {kGrocer}, "20261130", "20261130"));
    EXPECT_EQ(ReadBytes(path),
              kHeader +
                  "<OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>0</CODE><SEVERITY>INFO</SEVERITY>"
                  "<MESSAGE>OK</MESSAGE></STATUS><DTSERVER>20261207</DTSERVER>"
                  "<LANGUAGE>ENG</LANGUAGE><VELT.BID>10001</VELT.BID></SONRS></SIGNONMSGSRSV1>"
                  "<BANKMSGSRSV1><STMTTRNRS><TRNUID>1</TRNUID><STATUS><CODE>0</CODE>"
                  "<SEVERITY>INFO</SEVERITY><MESSAGE>OK</MESSAGE></STATUS><STMTRS>"
                  "<CURDEF>USD</CURDEF><BANKACCTFROM><BANKID>062000</BANKID>"
                  "<ACCTID>12345678</ACCTID><ACCTTYPE>CHECKING</ACCTTYPE></BANKACCTFROM>"
                  "<BANKTRANLIST><DTSTART>20261130</DTSTART><DTEND>20261130</DTEND>"
                  "<STMTTRN><TRNTYPE>DEBIT</TRNTYPE><DTPOSTED>20261130</DTPOSTED>"
                  "<TRNAMT>-45.20</TRNAMT><FITID>0</FITID><CHECKNUM>1024</CHECKNUM>"
                  "<NAME>CORNER GROCER</NAME><MEMO>weekly shop</MEMO></STMTTRN>"
                  "</BANKTRANLIST><LEDGERBAL><BALAMT>0.00</BALAMT><DTASOF>20261130</DTASOF>"
                  "</LEDGERBAL></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>\r\n");
    EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(CLDXFileTest, WorkedExampleForACreditCardByteForByte)
{
    ASSERT_TRUE(WriteStatement(CardAccount(), {kGrocer}, "20261130", "20261130"));
    EXPECT_EQ(ReadBytes(path),
              kHeader +
                  "<OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>0</CODE><SEVERITY>INFO</SEVERITY>"
                  "<MESSAGE>OK</MESSAGE></STATUS><DTSERVER>20261207</DTSERVER>"
                  "<LANGUAGE>ENG</LANGUAGE><VELT.BID>10001</VELT.BID></SONRS></SIGNONMSGSRSV1>"
                  "<CREDITCARDMSGSRSV1><CCSTMTTRNRS><TRNUID>1</TRNUID><STATUS><CODE>0</CODE>"
                  "<SEVERITY>INFO</SEVERITY><MESSAGE>OK</MESSAGE></STATUS><CCSTMTRS>"
                  "<CURDEF>USD</CURDEF><CCACCTFROM><ACCTID>12345678</ACCTID></CCACCTFROM>"
                  "<BANKTRANLIST><DTSTART>20261130</DTSTART><DTEND>20261130</DTEND>"
                  "<STMTTRN><TRNTYPE>CREDIT</TRNTYPE><DTPOSTED>20261130</DTPOSTED>"
                  "<TRNAMT>-45.20</TRNAMT><FITID>0</FITID><CHECKNUM>1024</CHECKNUM>"
                  "<NAME>CORNER GROCER</NAME><MEMO>weekly shop</MEMO></STMTTRN>"
                  "</BANKTRANLIST><LEDGERBAL><BALAMT>0.00</BALAMT><DTASOF>20261130</DTASOF>"
                  "</LEDGERBAL></CCSTMTRS></CCSTMTTRNRS></CREDITCARDMSGSRSV1></OFX>\r\n");
}

TEST_F(CLDXFileTest, OnlyExactlyCreditMakesACreditCardStatement)
{
    for (const char* type : {"credit", "CREDIT ", "Credit", "", "SAVINGS"}) {
        records::CAcctInfo account = BankAccount();
        account.AcctType = type;
        ASSERT_TRUE(WriteStatement(account, {kGrocer}, "20261130", "20261130"));
        const std::string body = Body();
        EXPECT_THAT(body, ::testing::HasSubstr(
                              "<BANKACCTFROM><BANKID>062000</BANKID><ACCTID>12345678</ACCTID>"
                              "<ACCTTYPE>" +
                              std::string(type) + "</ACCTTYPE></BANKACCTFROM>"))
            << type;
        EXPECT_THAT(body, ::testing::HasSubstr("<TRNTYPE>DEBIT</TRNTYPE>")) << type;
    }
}

TEST_F(CLDXFileTest, NameFallsBackToMemoThenNotProvidedAndIsCutToCharacters)
{
    const std::string payee40(40, 'P');
    std::string accented40;
    for (int i = 0; i < 40; ++i) {
        accented40 += "\xC3\xA9";
    }
    ASSERT_TRUE(WriteStatement(BankAccount(),
                               {{"20261101", "1", "", "", "", "memo only", ""},
                                {"20261101", "1", "", "", "", "", ""},
                                {"20261101", "1", "", "", payee40, payee40, ""},
                                {"20261101", "1", "", "", accented40, "", ""},
                                {"20261101", "1", "", "", "", std::string(40, 'M'), ""}},
                               "20261101", "20261101"));
    const auto txns = Transactions();
    ASSERT_EQ(txns.size(), 5U);
    EXPECT_THAT(txns[0], ::testing::HasSubstr("<NAME>memo only</NAME><MEMO>memo only</MEMO>"));
    EXPECT_THAT(txns[1], ::testing::HasSubstr("<NAME>Not Provided</NAME><MEMO></MEMO>"));
    EXPECT_THAT(txns[2], ::testing::HasSubstr("<NAME>" + payee40.substr(0, 32) + "</NAME><MEMO>" +
                                              payee40 + "</MEMO>"));
    EXPECT_THAT(txns[3], ::testing::HasSubstr("<NAME>" + std::string(32, '\xE9') + "</NAME>"));
    EXPECT_THAT(txns[4], ::testing::HasSubstr("<NAME>" + std::string(32, 'M') + "</NAME>"));
}

TEST_F(CLDXFileTest, CheckNumberKeepsItsLastTwelveCharactersAndIsLeftOutWhenEmpty)
{
    ASSERT_TRUE(WriteStatement(BankAccount(),
                               {{"20261101", "1", "ABCD123456789012", "", "p", "", ""},
                                {"20261101", "1", "123456789012", "", "p", "", ""},
                                {"20261101", "1", "", "", "p", "", ""}},
                               "20261101", "20261101"));
    const auto txns = Transactions();
    ASSERT_EQ(txns.size(), 3U);
    EXPECT_THAT(txns[0], ::testing::HasSubstr("<FITID>0</FITID><CHECKNUM>123456789012</CHECKNUM>"));
    EXPECT_THAT(txns[1], ::testing::HasSubstr("<FITID>1</FITID><CHECKNUM>123456789012</CHECKNUM>"));
    EXPECT_THAT(txns[2], ::testing::HasSubstr("<FITID>2</FITID><NAME>"));
}

TEST_F(CLDXFileTest, TransactionTypeFollowsTheFirstCharacterAndTheAccountKind)
{
    const std::vector<records::CQIFTx> txns = {{"20261101", "-12.50", "", "", "p", "", ""},
                                               {"20261101", "12.50", "", "", "p", "", ""},
                                               {"20261101", " -12.50", "", "", "p", "", ""},
                                               {"20261101", "", "", "", "p", "", ""}};
    const std::vector<std::pair<records::CAcctInfo, std::vector<std::string>>> cases = {
        {BankAccount(), {"DEBIT", "CREDIT", "CREDIT", "CREDIT"}},
        {CardAccount(), {"CREDIT", "DEBIT", "DEBIT", "DEBIT"}}};
    for (const auto& [account, types] : cases) {
        ASSERT_TRUE(WriteStatement(account, txns, "20261101", "20261101"));
        const auto written = Transactions();
        ASSERT_EQ(written.size(), types.size());
        for (std::size_t i = 0; i < types.size(); ++i) {
            EXPECT_THAT(written[i], ::testing::HasSubstr("<TRNTYPE>" + types[i] +
                                                         "</TRNTYPE><DTPOSTED>20261101"
                                                         "</DTPOSTED><TRNAMT>" +
                                                         txns[i].sAmount + "</TRNAMT><FITID>" +
                                                         std::to_string(i) + "</FITID>"))
                << account.AcctType << " " << i;
        }
    }
}

TEST_F(CLDXFileTest, EmptyRunKeepsOnlyThePeriodAndTheServerDateIsToday)
{
    ASSERT_TRUE(WriteStatement(BankAccount(), {}, "", ""));
    const std::string body = Body();
    EXPECT_THAT(body, ::testing::HasSubstr(
                          "<BANKTRANLIST><DTSTART></DTSTART><DTEND></DTEND></BANKTRANLIST>"
                          "<LEDGERBAL><BALAMT>0.00</BALAMT><DTASOF></DTASOF></LEDGERBAL>"));
    EXPECT_THAT(body, ::testing::HasSubstr("<DTSERVER>20261207</DTSERVER>"));
}

TEST_F(CLDXFileTest, TextIsEscapedAndTheHeaderNeverChanges)
{
    ASSERT_TRUE(WriteStatement(BankAccount(),
                               {{"20261101", "1", "", "", "A&B <x>", "\xE2\x82\xAC", ""}},
                               "20261101", "20261101"));
    EXPECT_THAT(Body(), ::testing::HasSubstr("<NAME>A&amp;B &lt;x&gt;</NAME><MEMO>\x80</MEMO>"));
}

TEST_F(CLDXFileTest, TheStatementIsWrittenBesideThePathAndTakesItsPlaceWhole)
{
    statement::CLDXFile file(messages, folder, clock);
    EXPECT_FALSE(file.CreateFile(""));
    WriteBytes(path, "old statement");
    ASSERT_TRUE(file.CreateFile(path));
    EXPECT_EQ(ReadBytes(file.WorkingPath()), "<OFX></OFX>\r\n");
    EXPECT_EQ(file.WorkingPath().find(dir.File(".statement.LDX.")), 0U);
    file.WriteOFXStandardInfo(BankAccount());
    ASSERT_TRUE(file.SaveFile());
    EXPECT_EQ(ReadBytes(path), "old statement");
    EXPECT_EQ(file.Commit({}).status, statement::CommitStatus::Exists);
    EXPECT_EQ(ReadBytes(path), "old statement");
    EXPECT_EQ(file.Commit({.bolReplace = true}).status, statement::CommitStatus::Committed);
    EXPECT_EQ(ReadBytes(path).substr(0, kHeader.size()), kHeader);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST_F(CLDXFileTest, CreateFileRefusesWhatItCannotWriteAndLeavesNothing)
{
    statement::CLDXFile file(messages, folder, clock);
    EXPECT_FALSE(file.CreateFile(dir.Path().string()));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path()));
    EXPECT_FALSE(file.CreateFile(dir.File("missing/s.LDX")));
    std::filesystem::create_directory(dir.File("locked"));
    ::chmod(dir.File("locked").c_str(), 0500);
    if (::geteuid() != 0) { // root writes anywhere
        EXPECT_FALSE(file.CreateFile(dir.File("locked/s.LDX")));
    }
    ::chmod(dir.File("locked").c_str(), 0700);
    {
        statement::CLDXFile abandoned(messages, folder, clock);
        ASSERT_TRUE(abandoned.CreateFile(path));
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1); // locked/
}

TEST_F(CLDXFileTest, FailedSavePutsTheHeaderBeforeTheSkeletonAndReportsFailure)
{
    statement::CLDXFile file(messages, folder, clock);
    ASSERT_TRUE(file.CreateFile(path));
    // A skeleton that no longer parses: the load fails with a report and no document is held.
    WriteBytes(file.WorkingPath(), "<OFX></OFX>\r\n<junk");
    EXPECT_FALSE(file.WriteOFXStandardInfo(BankAccount()));
    EXPECT_EQ(messages.Messages().size(), 1U);
    EXPECT_FALSE(file.WriteOFXTrans(kGrocer, BankAccount()));
    EXPECT_FALSE(file.SaveFile());
    EXPECT_EQ(ReadBytes(file.WorkingPath()), kHeader + "<OFX></OFX>\r\n<junk");
    EXPECT_FALSE(std::filesystem::exists(path));
}

// Another program renames the working file away and puts a link to a file of the user's, or a
// folder, in its place, at any moment of the run: the statement is still loaded, written and read
// back only through the file the run created, the link's target is never touched, and nothing is
// put at the path.
TEST_F(CLDXFileTest, AWorkingFileSwappedForAnotherNeverLetsTheRunWriteThere)
{
    enum Moment
    {
        BeforeLoad,
        BeforeSave,
        BeforeCommit
    };
    const std::string victim = dir.File("victim.txt");
    for (const Moment moment : {BeforeLoad, BeforeSave, BeforeCommit}) {
        for (const bool bolFolder : {false, true}) {
            WriteBytes(victim, "the user's own file");
            statement::CLDXFile file(messages, folder, clock);
            ASSERT_TRUE(file.CreateFile(path));
            const auto swap = [&](Moment now) {
                if (now != moment) {
                    return;
                }
                std::filesystem::rename(file.WorkingPath(),
                                        dir.File("aside-" + std::to_string(now)));
                if (bolFolder) {
                    std::filesystem::create_directory(file.WorkingPath());
                } else {
                    std::filesystem::create_symlink(victim, file.WorkingPath());
                }
            };
            swap(BeforeLoad);
            EXPECT_TRUE(file.WriteOFXStandardInfo(BankAccount()));
            file.WriteOFXTrans(kGrocer, BankAccount());
            swap(BeforeSave);
            EXPECT_TRUE(file.SaveFile());
            swap(BeforeCommit);
            const statement::CommitResult committed = file.Commit({.bolReplace = true});
            EXPECT_EQ(committed.status, statement::CommitStatus::NotPlaced) << moment;
            EXPECT_EQ(committed.reason.kind, platform::ReasonKind::Replaced) << moment;
            EXPECT_EQ(ReadBytes(victim), "the user's own file") << moment;
            EXPECT_FALSE(std::filesystem::exists(path)) << moment;
            std::filesystem::remove_all(file.WorkingPath());
        }
    }
}

TEST_F(CLDXFileTest, CounterOverflowRaisesAfterTheTransactionWasAdded)
{
    statement::CLDXFile file(messages, folder, clock, INT32_MAX - 1);
    ASSERT_TRUE(file.CreateFile(path));
    ASSERT_TRUE(file.WriteOFXStandardInfo(BankAccount()));
    // Indexes this large address nothing in a short list, so only STMTTRN itself is added.
    EXPECT_TRUE(file.WriteOFXTrans(kGrocer, BankAccount()));
    EXPECT_EQ(file.TxnCount(), INT32_MAX);
    EXPECT_THROW(file.WriteOFXTrans(kGrocer, BankAccount()), statement::StatementError);
    EXPECT_EQ(file.TxnCount(), INT32_MAX);
}

TEST_F(CLDXFileTest, ReadBackFindsAnyChangeToWhatWasWritten)
{
    const records::CQIFTx kRent{"20261101", "-900.00", "", "", "LANDLORD", "", ""};
    const struct
    {
        std::string from, to, difference;
    } cases[] = {
        {"", "", ""},
        {"<TRNAMT>-45.20<", "<TRNAMT>-45.21<", "transaction 2"},
        {"<FITID>0<", "<FITID>7<", "transaction 1"},
        {"<NAME>LANDLORD<", "<NAME>LANDLADY<", "transaction 1"},
        {"<DTEND>20261130<", "<DTEND>20261129<", "its period reads"},
        {"<STMTTRN><TRNTYPE>DEBIT</TRNTYPE><DTPOSTED>20261101",
         "<XTMTTRN><TRNTYPE>DEBIT</TRNTYPE><DTPOSTED>20261101", ""},
    };
    for (const auto& c : cases) {
        statement::CLDXFile file(messages, folder, clock);
        ASSERT_TRUE(file.CreateFile(path));
        file.WriteOFXStandardInfo(BankAccount());
        file.WriteOFXTrans(kRent, BankAccount());
        file.WriteOFXTrans(kGrocer, BankAccount());
        file.InsertSTMTStartEndDate(BankAccount(), "20261101", "20261130");
        file.InsertLEDGERBAL(BankAccount(), "20261130");
        ASSERT_TRUE(file.SaveFile());
        std::string bytes = ReadBytes(file.WorkingPath());
        if (!c.from.empty()) {
            const std::size_t at = bytes.find(c.from);
            ASSERT_NE(at, std::string::npos) << c.from;
            bytes.replace(at, c.from.size(), c.to);
            WriteBytes(file.WorkingPath(), bytes);
        }
        const statement::CommitResult committed = file.Commit({.bolPlace = false});
        EXPECT_EQ(committed.status == statement::CommitStatus::NotAsWritten, !c.from.empty())
            << c.to;
        EXPECT_THAT(committed.sReason, ::testing::HasSubstr(c.difference));
    }
}

} // namespace
} // namespace qif2ldx::test
