// SPDX-License-Identifier: MIT

#include "cli/CommandLineRunner.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <vector>

namespace qif2ldx::test {
namespace {

using app::cli::kExitFailed;
using app::cli::kExitInterrupted;
using app::cli::kExitRefused;
using app::cli::kExitSaved;

const std::string kData = QIF2LDX_TEST_DATA;

// The command line with the test data folder as the program's folder (so its olacclst.dat is
// the default account list).
class CommandLine : public ::testing::Test, protected CommandLineRunner
{
protected:
    CommandLine() { sProgramFolder = kData; }

    std::string Qif(const std::string& name, const std::string& bytes)
    {
        WriteBytes(dir.File(name), bytes);
        return dir.File(name);
    }

    TempDir dir;
};

TEST_F(CommandLine, ConvertsTheBankAndCardExamplesToTheGoldenFiles)
{
    const std::string bank = dir.File("bank.LDX");
    EXPECT_EQ(
        RunCommand({"convert", kData + "/bank.qif", "--account", "Everyday Current", "-o", bank}),
        kExitSaved);
    EXPECT_EQ(out.str(), "Wrote 30 of 30 records to " + bank +
                             ": 2026-11-01 to 2026-11-30, credits 2,468.12, debits -2,491.35, "
                             "account Everyday Current (CHECKING).\n");
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(ReadBytes(bank), ReadBytes(kData + "/bank.LDX"));

    const std::string card = dir.File("card.LDX");
    EXPECT_EQ(RunCommand({"convert", kData + "/creditcard.qif", "-a", "Travel Visa", "-o", card}),
              kExitSaved);
    EXPECT_EQ(ReadBytes(card), ReadBytes(kData + "/creditcard.LDX"));
}

TEST_F(CommandLine, DefaultStatementPathReplacesTheExtensionAndSpacesAreTrimmed)
{
    const std::string qif = Qif("May.2026.qif", "D13/05/2026\r\nT-1\r\n^\r\n");
    EXPECT_EQ(RunCommand({"convert", "  " + qif + "  ", "-a", "  Everyday Current "}), kExitSaved);
    EXPECT_EQ(out.str(),
              "Wrote 1 of 1 record to " + dir.File("May.2026.LDX") +
                  ": 2026-05-13 to 2026-05-13, credits 0.00, debits -1.00, account Everyday "
                  "Current (CHECKING).\n");
    EXPECT_TRUE(std::filesystem::exists(dir.File("May.2026.LDX")));
}

TEST_F(CommandLine, QifNameWithoutADotGetsLdxAddedInItsOwnFolder)
{
    std::filesystem::create_directories(dir.File("j.smith/Downloads"));
    const std::string qif = Qif("j.smith/Downloads/statement", "D01/05/2026\r\nT-1\r\n^\r\n");
    EXPECT_EQ(RunCommand({"convert", qif, "-a", "Everyday Current"}), kExitSaved) << err.str();
    EXPECT_TRUE(std::filesystem::exists(dir.File("j.smith/Downloads/statement.LDX")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("j.LDX")));
}

TEST_F(CommandLine, RefusedInputsExitWithTwoAndTouchNothing)
{
    const std::string qif = Qif("in.qif", "D13/05/2026\r\nT-1\r\n^\r\n");
    const std::string existing = dir.File("old.LDX");
    WriteBytes(existing, "keep me");
    struct Case
    {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"convert", dir.File("missing.qif"), "-a", "A"},
         "the QIF file does not exist: " + dir.File("missing.qif")},
        {{"convert", dir.Path().string(), "-a", "A", "-o", dir.File("x.LDX")},
         "the QIF file is a folder: " + dir.Path().string()},
        {{"convert", qif, "-a", "A", "-o", dir.File("x.Ldx")},
         "the statement file must be named *.LDX or *.ldx: " + dir.File("x.Ldx")},
        {{"convert", qif, "-a", "A", "-o", ".LDX"},
         "the statement file must be named *.LDX or *.ldx: .LDX"},
        {{"convert", qif, "-a", "A", "-o", existing},
         "the statement file already exists (--overwrite replaces it): " + existing},
        {{"convert", qif, "-a", "   ", "-o", dir.File("x.LDX")}, "the account name is empty"},
        {{"convert", qif, "-a", "A", "--output-dir", qif},
         "--output-dir names a file, not a folder: " + qif},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RunCommand(c.args), kExitRefused) << c.message;
        EXPECT_EQ(err.str(), "qif2ldx: error: " + c.message + "\n");
        EXPECT_EQ(out.str(), "");
    }
    EXPECT_EQ(ReadBytes(existing), "keep me");
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.LDX")));
    EXPECT_EQ(RunCommand({"convert", qif, "-a", "Everyday Current", "-o", existing, "--overwrite"}),
              kExitSaved);
}

TEST_F(CommandLine, OpenHandsTheStatementToTheAssociatedProgram)
{
    const std::string qif = Qif("my bank.qif", "D13/05/2026\r\nT-1\r\n^\r\n");
    association.sExecutable = "/opt/lodestrand/lodestrand";
    EXPECT_EQ(RunCommand({"convert", qif, "-a", "Everyday Current", "--open"}), kExitSaved)
        << err.str();
    ASSERT_EQ(starter.started.size(), 1U);
    EXPECT_EQ(starter.started[0],
              (std::vector<std::string>{"/opt/lodestrand/lodestrand", dir.File("my bank.LDX")}));

    association.sExecutable.clear();
    EXPECT_EQ(RunCommand({"convert", qif, "-a", "Everyday Current", "--open", "--overwrite"}),
              kExitSaved);
    EXPECT_THAT(err.str(),
                ::testing::HasSubstr("Unable to automatically import .LDX file. This is because"));
    EXPECT_EQ(starter.started.size(), 1U);
}

TEST_F(CommandLine, StatementNamingTheQifFileItselfIsRefusedBeforeAnythingIsTouched)
{
    const std::string bytes = "D13/05/2026\r\nT-1\r\n^\r\n";
    const std::string qif = Qif("same.LDX", bytes);
    std::filesystem::create_symlink(qif, dir.File("link.LDX"));
    std::filesystem::create_hard_link(qif, dir.File("hard.LDX"));
    for (const std::string& output :
         {qif, dir.Path().string() + "/./same.LDX", dir.File("link.LDX"), dir.File("hard.LDX")}) {
        EXPECT_EQ(RunCommand({"convert", qif, "-a", "A", "-o", output, "--overwrite"}),
                  kExitRefused)
            << output;
        EXPECT_EQ(err.str(),
                  "qif2ldx: error: the statement file is the QIF file itself: " + output + "\n");
    }
    EXPECT_EQ(ReadBytes(qif), bytes);
}

TEST_F(CommandLine, FailedConversionExitsWithOneAndNamesTheFile)
{
    const std::string qif = Qif("bad.qif", "D01052026\r\nT-1\r\n^\r\n");
    EXPECT_EQ(RunCommand({"convert", qif, "-a", "Everyday Current"}), kExitFailed);
    EXPECT_EQ(err.str(),
              "qif2ldx: error: Errors were encountered whilst attempting to convert: " + qif +
                  ". Please ensure that this file is a valid QIF file.\n"
                  "qif2ldx: error: line 1: \"D01052026\" is no real day, read day "
                  "first, month first or year first\n");
    EXPECT_EQ(out.str(), "");
}

TEST_F(CommandLine, DatesAreReadInTheOrderTheFileShowsUnlessOneIsGiven)
{
    const std::string us =
        Qif("us.qif", "!Type:Bank\r\nD01/05/2026\r\nT-1\r\n^\r\nD12/25/2026\r\nT-2\r\n^\r\n");
    EXPECT_EQ(RunCommand({"convert", us, "-a", "Everyday Current"}), kExitSaved);
    EXPECT_EQ(err.str(), "qif2ldx: note: the dates in this file are month first: line 5 reads "
                         "D12/25/2026 (25 December 2026).\n");
    EXPECT_EQ(out.str(),
              "Wrote 2 of 2 records to " + dir.File("us.LDX") +
                  ": 2026-01-05 to 2026-12-25, credits 0.00, debits -3.00, account Everyday "
                  "Current (CHECKING).\n");
    EXPECT_EQ(
        RunCommand({"convert", us, "-a", "Everyday Current", "--date-order", "dmy", "--overwrite"}),
        kExitFailed);
    EXPECT_THAT(err.str(),
                ::testing::HasSubstr("qif2ldx: error: line 5: \"D12/25/2026\" is not a day-first "
                                     "date\n"));
    EXPECT_EQ(RunCommand({"convert", us, "-a", "Everyday Current", "--date-order", "ydm"}),
              kExitRefused);
}

TEST_F(CommandLine, EmptyStatementIsSavedWithAWarning)
{
    const std::string qif = Qif("empty.qif", "");
    EXPECT_EQ(RunCommand({"convert", qif, "-a", "Everyday Current"}), kExitSaved);
    EXPECT_EQ(err.str(), "qif2ldx: warning: the file holds no transaction with a date and an "
                         "amount; the statement is empty\n");
    EXPECT_EQ(out.str(), "Wrote 0 of 0 records to " + dir.File("empty.LDX") +
                             ": credits 0.00, debits 0.00, account Everyday Current (CHECKING).\n");
}

TEST_F(CommandLine, AccountProblemsAreWarningsNotErrors)
{
    const std::string qif = Qif("in.qif", "D13/05/2026\r\nT-1\r\n^\r\n");
    EXPECT_EQ(RunCommand({"convert", qif, "-a", "Nobody"}), kExitSaved);
    EXPECT_EQ(err.str(), "qif2ldx: warning: account \"Nobody\" is not in the account list " +
                             kData + "/olacclst.dat; the statement has empty account fields\n");
    EXPECT_THAT(ReadBytes(dir.File("in.LDX")), ::testing::HasSubstr("<ACCTID></ACCTID>"));

    const std::string list = dir.File("list.dat");
    WriteBytes(list, "Short,CHECKING,GBP\r\n");
    EXPECT_EQ(RunCommand({"convert", qif, "-a", "Short", "--account-list", list, "--overwrite"}),
              kExitSaved);
    EXPECT_EQ(err.str(), "qif2ldx: warning: the line for account \"Short\" in " + list +
                             " has fewer than six fields; the missing ones are empty\n");

    EXPECT_EQ(
        RunCommand({"convert", qif, "-a", "A", "--account-list", dir.File("none"), "--overwrite"}),
        kExitSaved);
    EXPECT_EQ(err.str(), "qif2ldx: warning: cannot read the account list " + dir.File("none") +
                             ": no such file; the statement has empty account fields\n");
}

TEST_F(CommandLine, AccountNameInWordsWithoutQuotesIsRefusedBeforeAnythingIsWritten)
{
    const std::string qif = Qif("in.qif", "D01/05/2026\r\nT-1\r\n^\r\n");
    const std::string list = kData + "/olacclst.dat";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"convert", qif, "-a", "Everyday", "Current"},
         "Everyday\" is not in the account list " + list +
             "; did you mean -a \"Everyday Current\""},
        {{"convert", "--account=Rainy", "Day", "Savings", qif},
         "Rainy\" is not in the account list " + list + "; did you mean -a \"Rainy Day Savings\""},
    };
    for (const auto& [args, message] : cases) {
        EXPECT_EQ(RunCommand(args), kExitRefused);
        EXPECT_EQ(err.str(),
                  "qif2ldx: error: account \"" + message + "? (quote names with blanks)\n");
        EXPECT_FALSE(std::filesystem::exists(dir.File("in.LDX")));
    }
    // A name begun is suggested whole.
    EXPECT_EQ(RunCommand({"convert", qif, "-a", "Rainy Day"}), kExitSaved);
    EXPECT_THAT(err.str(), ::testing::HasSubstr("(did you mean 'Rainy Day Savings'?)"));
}

TEST_F(CommandLine, DroppedAndUnfinishedRecordsAreReported)
{
    const std::string qif = Qif("in.qif", "!Account\r\nNChecking\r\nTBank\r\n^\r\n!Type:Bank\r\n"
                                          "D13/05/2026\r\n^\r\nT5\r\n^\r\nD14/05/2026\r\nT-1\r\n"
                                          "^\r\nD15/05/2026\r\nT-2");
    EXPECT_EQ(RunCommand({"convert", qif, "-a", "Everyday Current"}), kExitSaved);
    EXPECT_EQ(err.str(), "qif2ldx: warning: 2 records without a date or an amount were not "
                         "written\nqif2ldx: warning: the last record has no closing \"^\"; it "
                         "was written all the same\n");
    EXPECT_EQ(out.str(),
              "Wrote 2 of 4 records to " + dir.File("in.LDX") +
                  ": 2026-05-13 to 2026-05-15, credits 0.00, debits -3.00, account Everyday "
                  "Current (CHECKING).\nLeft out: line 6 (no amount), line 8 (no date).\n"
                  "Not transactions: 1 of !Account on line 2.\n");
}

TEST_F(CommandLine, InterruptStopsTheRunWithAnError)
{
    std::string big;
    for (int i = 0; i < 50000; ++i) {
        big += "D01/02/2003\r\nT-1.00\r\nPA payee of some length\r\n^\r\n";
    }
    const std::string qif = Qif("big.qif", big);
    interrupt = 2;
    EXPECT_EQ(RunCommand({"convert", qif, "-a", "Everyday Current"}), kExitInterrupted);
    EXPECT_THAT(err.str(),
                ::testing::HasSubstr("qif2ldx: error: interrupted; the statement was not "
                                     "finished: " +
                                     dir.File("big.LDX")));
    EXPECT_THAT(ReadBytes(dir.File("big.LDX")), ::testing::Not(::testing::HasSubstr("OFXHEADER")));
    EXPECT_EQ(RunCommand({"show", qif}), kExitInterrupted);
    EXPECT_EQ(err.str(), "qif2ldx: error: interrupted; " + qif + " was not shown\n");
}

TEST_F(CommandLine, AccountsListsTheDropListNames)
{
    EXPECT_EQ(RunCommand({"accounts"}), kExitSaved);
    EXPECT_EQ(out.str(), "Everyday Current\nRainy Day Savings\nTravel Visa\n");
    // A missing list is a warning, as for convert.
    EXPECT_EQ(RunCommand({"accounts", "--account-list", dir.File("none")}), kExitSaved);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "qif2ldx: warning: cannot read the account list " + dir.File("none") +
                             ": no such file\n");
}

TEST_F(CommandLine, TheUsersOwnAccountListServesAccountsAndConvert)
{
    EXPECT_EQ(RunCommand({"accounts"}), kExitSaved);
    EXPECT_EQ(err.str(), "qif2ldx: accounts from " + kData + "/olacclst.dat\n");

    std::filesystem::create_directories(dir.File("config/qif2ldx"));
    const std::string mine = dir.File("config/qif2ldx/olacclst.dat");
    WriteBytes(mine, "Joint Account,CHECKING,EUR,777,888,999\r\n");
    SetEnvironment({{"XDG_CONFIG_HOME", dir.File("config")}});
    EXPECT_EQ(RunCommand({"accounts"}), kExitSaved);
    EXPECT_EQ(out.str(), "Joint Account\n");
    EXPECT_EQ(err.str(), "qif2ldx: accounts from " + mine + "\n");

    const std::string qif = Qif("in.qif", "D13/05/2026\r\nT-1\r\n^\r\n");
    EXPECT_EQ(RunCommand({"convert", qif, "-a", "Joint Account"}), kExitSaved);
    EXPECT_EQ(err.str(), "");
    EXPECT_THAT(ReadBytes(dir.File("in.LDX")), ::testing::HasSubstr("<ACCTID>777</ACCTID>"));
    EXPECT_EQ(RunCommand({"accounts", "--account-list", kData + "/olacclst.dat"}), kExitSaved);
    EXPECT_EQ(out.str(), "Everyday Current\nRainy Day Savings\nTravel Visa\n");
}

TEST_F(CommandLine, DryRunChecksAllButAnExistingStatementAndTheTotalCountsEachEnding)
{
    const std::string qif = Qif("May.qif", "D13/05/2026\r\nT-1\r\n^\r\n");
    WriteBytes(dir.File("May.LDX"), "keep me");
    EXPECT_EQ(RunCommand({"convert", qif, "-a", "Everyday Current", "--dry-run"}), kExitSaved);
    EXPECT_THAT(out.str(), ::testing::HasSubstr("\nIt would replace the statement file there, "
                                                "which needs --overwrite.\n"));
    EXPECT_EQ(ReadBytes(dir.File("May.LDX")), "keep me");

    const std::string bad = Qif("bad.qif", "D31/02/2026\r\nT-1\r\n^\r\n");
    EXPECT_EQ(RunCommand({"convert", qif, bad, dir.File("none.qif"), "-a", "Everyday Current",
                          "--output-dir", dir.File("")}),
              kExitRefused);
    EXPECT_THAT(out.str(), ::testing::HasSubstr(
                               "Total: 0 of 0 records from 0 of 3 files; 2 refused, 1 failed.\n"));
    EXPECT_EQ(RunCommand({"convert", qif, bad, dir.File("none.qif"), "-a", "Everyday Current",
                          "--output-dir", dir.File(""), "--json"}),
              kExitRefused);
    const nlohmann::json total = nlohmann::json::parse(out.str())["total"];
    EXPECT_EQ(total["done"], 0);
    EXPECT_EQ(total["refused"], 2);
    EXPECT_EQ(total["failed"], 1);
    EXPECT_EQ(total["interrupted"], 0);
}

TEST_F(CommandLine, AccountsLongAndJsonShowEveryField)
{
    EXPECT_EQ(RunCommand({"accounts", "--long"}), kExitSaved);
    EXPECT_THAT(out.str(), ::testing::StartsWith("Name               Type      Currency  Number\n"
                                                 "Everyday Current   CHECKING  GBP       "
                                                 "31926819\n"));
    EXPECT_EQ(RunCommand({"accounts", "--json"}), kExitSaved);
    EXPECT_THAT(out.str(), ::testing::HasSubstr(R"({
    "account": "31926819",
    "bank": "401276",
    "bank_id": "1001",
    "currency": "GBP",
    "name": "Everyday Current",
    "type": "CHECKING"
  })"));
    EXPECT_EQ(RunCommand({"accounts", "--long", "--json"}), kExitRefused);
    EXPECT_EQ(RunCommand({"accounts", "--long", "--account-list", dir.File("none")}), kExitSaved);
    EXPECT_EQ(out.str(), ""); // no header over nothing
}

TEST_F(CommandLine, CardFileForABankAccountIsWarnedOf)
{
    const std::string card = Qif("card.qif", "!Type:CCard\r\nD13/05/2026\r\nT-1\r\n^\r\n");
    EXPECT_EQ(RunCommand({"convert", card, "-a", "Everyday Current"}), kExitSaved);
    EXPECT_EQ(err.str(), "qif2ldx: warning: the file holds card transactions (!Type:CCard), but "
                         "account \"Everyday Current\" is of type CHECKING, not CREDIT: they "
                         "were written as a bank statement\n");
    const std::string bank = Qif("bank.qif", "!Type:Bank\r\nD13/05/2026\r\nT-1\r\n^\r\n");
    EXPECT_EQ(RunCommand({"convert", bank, "-a", "Travel Visa"}), kExitSaved);
    EXPECT_THAT(err.str(), ::testing::HasSubstr("bank transactions (!Type:Bank), but account "
                                                "\"Travel Visa\" is of type CREDIT"));
    EXPECT_EQ(RunCommand({"convert", card, "-a", "Travel Visa", "--overwrite"}), kExitSaved);
    EXPECT_EQ(err.str(), "");
    // Among several files, the warning names its own.
    EXPECT_EQ(RunCommand({"convert", bank, card, "-a", "Travel Visa", "--dry-run"}), kExitSaved);
    EXPECT_EQ(err.str(), "qif2ldx: warning: " + bank +
                             ": the file holds bank transactions (!Type:Bank), but account "
                             "\"Travel Visa\" is of type CREDIT: they were written as a "
                             "credit-card statement\n");
}

} // namespace
} // namespace qif2ldx::test
