// SPDX-License-Identifier: MIT
// The command line for scripts: JSON receipts, dry runs, several files, pipes and the preview.

#include "cli/CommandLineRunner.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace qif2ldx::test {
namespace {

using app::cli::kExitFailed;
using app::cli::kExitRefused;
using app::cli::kExitSaved;
using nlohmann::json;

const std::string kData = QIF2LDX_TEST_DATA;
const std::string kAccount = "Everyday Current";

class Scripting : public ::testing::Test, protected CommandLineRunner
{
protected:
    Scripting()
    {
        sProgramFolder = kData;
        WriteBytes(dir.File("a.qif"), "!Type:Bank\r\nD13/05/2026\r\nT-1,234.50\r\nPRent\r\n^\r\n"
                                      "D14/05/2026\r\n^\r\nD15/05/2026\r\nT10\r\n^\r\n");
        WriteBytes(dir.File("b.qif"), "!Type:Bank\r\nD04/05/2026\r\nT2.25\r\n^\r\n");
    }

    std::size_t FilesInDir() const
    {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(dir.Path()), {}));
    }

    TempDir dir;
};

TEST_F(Scripting, JsonReceiptAccountsForEveryRecord)
{
    ASSERT_EQ(RunCommand({"convert", dir.File("a.qif"), "-a", kAccount, "--json"}), kExitSaved);
    const json receipt = json::parse(out.str());
    EXPECT_EQ(receipt["status"], "saved");
    EXPECT_EQ(receipt["statement"], dir.File("a.LDX"));
    EXPECT_EQ(receipt["account"]["type"], "CHECKING");
    EXPECT_EQ(receipt["records"], 3);
    EXPECT_EQ(receipt["written"], 2);
    EXPECT_EQ(receipt["left_out"], json::parse(R"([{"line": 6, "reason": "no amount"}])"));
    EXPECT_EQ(receipt["period"], json::parse(R"({"start": "2026-05-13", "end": "2026-05-15"})"));
    EXPECT_EQ(receipt["credits"], "10.00");
    EXPECT_EQ(receipt["debits"], "-1234.50");
    EXPECT_EQ(receipt["decimal_separator"],
              json::parse(R"({"separator": ".", "decided_by": "amounts", "ambiguous": false,
                              "line": 3, "text": "T-1,234.50"})"));
    EXPECT_EQ(receipt["warnings"].size(), 1U);
}

TEST_F(Scripting, QifAccountTakesOneAccountOfAFullExport)
{
    WriteBytes(dir.File("full.qif"), "!Account\nNChecking\nTBank\n^\n!Type:Bank\nD15/05/2026\n"
                                     "T-1\n^\n!Account\nNCard\nTCCard\n^\n!Type:CCard\n"
                                     "D16/05/2026\nT-2\n^\n");
    EXPECT_EQ(
        RunCommand({"convert", dir.File("full.qif"), "-a", kAccount, "--qif-account", "Savings"}),
        kExitRefused);
    EXPECT_EQ(err.str(), "qif2ldx: error: the QIF file holds no account named \"Savings\"; it "
                         "holds Checking, Card\n");
    EXPECT_EQ(FilesInDir(), 3U); // nothing written
    // Among several files, the refusal names its file; a blank name is no account's.
    EXPECT_EQ(RunCommand({"convert", dir.File("full.qif"), dir.File("b.qif"), "-a", kAccount,
                          "--qif-account", "Savings", "--dry-run"}),
              kExitRefused);
    EXPECT_THAT(err.str(), ::testing::HasSubstr("error: " + dir.File("full.qif") +
                                                ": the QIF file holds no account named"));
    EXPECT_EQ(RunCommand({"convert", dir.File("full.qif"), "-a", kAccount, "--qif-account", " "}),
              kExitRefused);
    EXPECT_EQ(RunCommand({"convert", dir.File("full.qif"), "-a", kAccount, "--qif-account",
                          "Savings", "--json"}),
              kExitRefused);
    EXPECT_EQ(json::parse(out.str())["status"], "refused");
    ASSERT_EQ(RunCommand({"convert", dir.File("full.qif"), "-a", kAccount, "--qif-account", " card",
                          "--json"}),
              kExitSaved);
    const json receipt = json::parse(out.str());
    EXPECT_EQ(receipt["qif_account"], "Card");
    EXPECT_EQ(receipt["qif_accounts"],
              json::parse(R"([{"name": "Checking", "type": "Bank", "transactions": 1},
                              {"name": "Card", "type": "CCard", "transactions": 1}])"));
    EXPECT_EQ(receipt["written"], 1);
    EXPECT_EQ(RunCommand({"show", dir.File("full.qif"), "--qif-account", "Savings"}), kExitRefused);
    // Without it, show names each transaction's account.
    ASSERT_EQ(RunCommand({"show", dir.File("full.qif")}), app::cli::kExitDone);
    EXPECT_EQ(out.str().substr(0, out.str().find('\n')),
              "Line\tDate\tAmount\tNumber\tAccount\tPayee\tMemo");
}

TEST_F(Scripting, JsonReceiptNamesAnUnlistedAccountAsTyped)
{
    ASSERT_EQ(RunCommand({"convert", dir.File("b.qif"), "-a", " Holiday Fund ", "--json"}),
              kExitSaved);
    EXPECT_EQ(
        json::parse(out.str())["account"],
        json::parse(R"({"name": "Holiday Fund", "type": "", "kind": "bank", "listed": false})"));
    // A line with fields missing still lists the account.
    WriteBytes(dir.File("short.dat"), "Short,CHECKING,GBP\r\n");
    ASSERT_EQ(RunCommand({"convert", dir.File("b.qif"), "-a", "Short", "--account-list",
                          dir.File("short.dat"), "--overwrite", "--json"}),
              kExitSaved);
    EXPECT_EQ(
        json::parse(out.str())["account"],
        json::parse(R"({"name": "Short", "type": "CHECKING", "kind": "bank", "listed": true})"));
}

TEST_F(Scripting, NamesWithControlsAreEscapedForPeopleAndKeptForScripts)
{
    const std::string sQif = dir.File("May\n\x1b[2J.qif");
    std::filesystem::copy_file(dir.File("b.qif"), sQif);
    ASSERT_EQ(RunCommand({"convert", sQif, "-a", kAccount}), kExitSaved);
    EXPECT_THAT(out.str(), ::testing::HasSubstr("to " + dir.File("May\\n\\x1b[2J.LDX:")));
    EXPECT_EQ(out.str().find('\x1b'), std::string::npos);
    ASSERT_EQ(RunCommand({"convert", sQif, "-a", kAccount}), kExitRefused);
    EXPECT_THAT(err.str(), ::testing::HasSubstr("May\\n\\x1b[2J.LDX\n"));
    ASSERT_EQ(RunCommand({"convert", sQif, "-a", kAccount, "--overwrite", "--json"}), kExitSaved);
    EXPECT_EQ(json::parse(out.str())["statement"], dir.File("May\n\x1b[2J.LDX"));
}

TEST_F(Scripting, DryRunChecksEverythingAndWritesNothing)
{
    EXPECT_EQ(RunCommand({"convert", dir.File("b.qif"), "-a", kAccount, "--dry-run"}), kExitSaved);
    EXPECT_EQ(out.str().rfind("Would write 1 of 1 record to " + dir.File("b.LDX") + ":", 0), 0U);
    EXPECT_EQ(FilesInDir(), 2U);
    EXPECT_EQ(RunCommand({"convert", dir.File("b.qif"), "-a", "Everyday Curent", "--dry-run"}),
              kExitSaved);
    EXPECT_THAT(err.str(), ::testing::HasSubstr("(did you mean 'Everyday Current'?)"));
    EXPECT_THAT(out.str(),
                ::testing::HasSubstr("account Everyday Curent (not in the account list)."));
}

TEST_F(Scripting, SeveralFilesEachGetTheirStatementAndTheWorstStatusWins)
{
    std::filesystem::create_directory(dir.File("out"));
    EXPECT_EQ(RunCommand({"convert", dir.File("a.qif"), dir.File("missing.qif"), dir.File("b.qif"),
                          "-a", kAccount, "--output-dir", dir.File("out"), "--json"}),
              kExitRefused);
    const json receipt = json::parse(out.str());
    ASSERT_EQ(receipt["files"].size(), 3U);
    EXPECT_EQ(receipt["files"][1]["status"], "refused");
    EXPECT_EQ(receipt["files"][2]["statement"], dir.File("out/b.LDX"));
    EXPECT_EQ(receipt["total"]["written"], 3);
    EXPECT_TRUE(std::filesystem::exists(dir.File("out/a.LDX")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("out/b.LDX")));
}

TEST_F(Scripting, OptionsThatCannotWorkTogetherAreRefused)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{dir.File("a.qif"), dir.File("b.qif"), "-o", dir.File("x.LDX")}, "--output-dir"},
        {{"-"}, "needs --output"},
        {{dir.File("a.qif"), "--output-dir", dir.File("nowhere")}, "does not exist"},
        {{dir.File("a.qif"), "-o", "-", "--open"}, "--open needs"},
    };
    for (const auto& [args, message] : cases) {
        std::vector<std::string> command{"convert", "-a", kAccount};
        command.insert(command.end(), args.begin(), args.end());
        EXPECT_EQ(RunCommand(command), kExitRefused) << message;
        EXPECT_THAT(err.str(), ::testing::HasSubstr(message)) << err.str();
    }
    EXPECT_EQ(FilesInDir(), 2U);
    EXPECT_EQ(RunCommand({"shwo", "x"}), kExitRefused);
    EXPECT_EQ(
        err.str(),
        "qif2ldx: error: unknown command 'shwo' (did you mean 'show'?); see qif2ldx --help\n");
}

TEST_F(Scripting, StandardInputToStandardOutputIsTheSameStatement)
{
    ASSERT_EQ(RunCommand({"convert", dir.File("a.qif"), "-a", kAccount}), kExitSaved);
    in = ReadBytes(dir.File("a.qif"));
    ASSERT_EQ(RunCommand({"convert", "-", "-a", kAccount, "-o", "-"}), kExitSaved);
    EXPECT_EQ(out.str(), ReadBytes(dir.File("a.LDX")));
    EXPECT_THAT(err.str(), ::testing::HasSubstr("\nWrote 2 of 3 records to standard output:"));
    in.clear();
    in = std::string("D13/05/2026\r\n\0\r\n", 15); // a failure names standard input
    EXPECT_EQ(RunCommand({"convert", "-", "-a", kAccount, "-o", "-"}), kExitFailed);
    EXPECT_THAT(err.str(), ::testing::HasSubstr(
                               "qif2ldx: error: standard input does not look like a QIF file"))
        << err.str();
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(FilesInDir(), 3U);
}

TEST_F(Scripting, ShowAndCheckReadStandardInputAsConvertDoes)
{
    ASSERT_EQ(RunCommand({"show", dir.File("a.qif")}), kExitSaved);
    const std::string shown = out.str();
    in = ReadBytes(dir.File("a.qif"));
    ASSERT_EQ(RunCommand({"show", "-"}), kExitSaved);
    EXPECT_EQ(out.str(), shown);
    in.clear();
    in = ReadBytes(kData + "/creditcard.LDX");
    EXPECT_EQ(RunCommand({"check", "-"}), kExitFailed);
    EXPECT_THAT(out.str(), ::testing::StartsWith("standard input: 8 transactions, 10 hazards"));
    EXPECT_EQ(FilesInDir(), 2U);
}

TEST_F(Scripting, ShowFitsTheTerminalAndIsPlainOtherwise)
{
    WriteBytes(dir.File("long.qif"),
               "D13/05/2026\r\nT-12.00\r\nN1001\r\nPA payee with a long name indeed\r\n"
               "MAnd a memo that is longer still than the payee\r\n^\r\nD14/05/2026\r\n^\r\n");
    ASSERT_EQ(RunCommand({"show", dir.File("long.qif")}), kExitSaved);
    EXPECT_EQ(out.str(), "Line\tDate\tAmount\tNumber\tPayee\tMemo\n"
                         "1\t2026-05-13\t-12.00\t1001\tA payee with a long name indeed\t"
                         "And a memo that is longer still than the payee\n\n"
                         "1 of 2 records would be written: 2026-05-13 to 2026-05-14, credits "
                         "0.00, debits -12.00.\nLeft out: line 7 (no amount).\n");
    columns = 60;
    ASSERT_EQ(RunCommand({"show", dir.File("long.qif")}), kExitSaved);
    std::istringstream lines(out.str());
    std::string row;
    std::getline(lines, row); // the header
    std::getline(lines, row);
    EXPECT_EQ(row, "   1  2026-05-13  -12.00  1001    A payee wit\u2026  And a memo \u2026");
}

} // namespace
} // namespace qif2ldx::test

namespace qif2ldx::test {
namespace {

// A file whose dates read two ways is read day first and says so; the order chosen last for
// the account reads it in auto mode, and --date-order always wins.
TEST_F(Scripting, DatesThatReadTwoWaysAreNeverASilentGuess)
{
    const std::string us = dir.File("us.qif");
    WriteBytes(us, "!Type:Bank\nD12/01/2026\nT-1\n^\nD12/08/2026\nT-2\n^\n");
    const std::string sWarning =
        "qif2ldx: warning: the dates in this file read both day first and month first (day first: "
        "2026-01-12 \u2013 2026-08-12; month first: 2026-12-01 \u2013 2026-12-08): line 2 reads "
        "D12/01/2026 as 12 January 2026 day first, 1 December 2026 month first; they were read ";
    const json periods = json::parse(R"({"day first": {"start": "2026-01-12", "end": "2026-08-12"},
        "month first": {"start": "2026-12-01", "end": "2026-12-08"}})");
    const auto dates = [this](const std::vector<std::string>& extra) {
        std::vector<std::string> args = {"convert", dir.File("us.qif"), "-a",
                                         kAccount,  "--dry-run",        "--json"};
        args.insert(args.end(), extra.begin(), extra.end());
        EXPECT_EQ(RunCommand(args), kExitSaved);
        return json::parse(out.str())["dates"];
    };
    json expected = json::parse(R"({"order": "day first", "decided_by": "file",
        "ambiguous": true, "other_orders": ["month first"]})");
    expected["periods"] = periods;
    EXPECT_EQ(dates({}), expected);
    EXPECT_EQ(err.str(), sWarning + "day first (--date-order mdy reads them month first)\n");

    // Nobody stated the order: a locale that writes the month first decides, and says so.
    SetEnvironment({{"LC_ALL", "en_US.UTF-8"}, {"LANG", "en_GB.UTF-8"}});
    EXPECT_EQ(dates({})["decided_by"], std::string("locale"));
    EXPECT_EQ(err.str(), sWarning + "month first, the order the locale writes dates in "
                                    "(--date-order dmy reads them day first)\n");
    SetEnvironment({{"LC_TIME", "en_GB.UTF-8"}, {"LANG", "en_US.UTF-8"}});
    EXPECT_EQ(dates({})["decided_by"], std::string("file"));

    SetEnvironment({{"XDG_CONFIG_HOME", dir.File("config")}, {"LANG", "en_US.UTF-8"}});
    std::filesystem::create_directories(dir.File("config/qif2ldx"));
    // (a line of the old file may end as Windows ends it)
    WriteBytes(dir.File("config/qif2ldx/date-orders"), "ymd\tOther\nmdy\tEveryday Current\r\n");
    EXPECT_EQ(dates({})["decided_by"], std::string("account"));
    EXPECT_EQ(err.str(), sWarning + "month first, the order chosen last for account \"Everyday "
                                    "Current\" (--date-order dmy reads them day first)\n");
    // One too large to be a list of accounts is not read, and that is told.
    WriteBytes(dir.File("config/qif2ldx/date-orders"),
               "mdy\tEveryday Current\n" + std::string(1024 * 1024, '#'));
    EXPECT_EQ(dates({})["decided_by"], std::string("locale"));
    EXPECT_NE(err.str().find("were not read: the file is larger than 1 MiB"), std::string::npos)
        << err.str();
    expected["decided_by"] = "command line";
    EXPECT_EQ(dates({"--date-order", "dmy"}), expected);
    EXPECT_EQ(err.str(), "");
    // show reads and warns as convert does, and stops when interrupted.
    SetEnvironment({});
    EXPECT_EQ(RunCommand({"show", us}), kExitSaved);
    EXPECT_EQ(err.str(), sWarning + "day first (--date-order mdy reads them month first)\n");
    interrupt = 2;
    EXPECT_EQ(RunCommand({"show", us}), app::cli::kExitInterrupted);
    interrupt = 0;
    // An option line states the order; the periods still name each order that reads every date.
    WriteBytes(us, "!Option:DMY\n!Type:Bank\nD12/01/2026\nT-1\n^\nD12/08/2026\nT-2\n^\n");
    EXPECT_EQ(dates({})["periods"], periods);
}

} // namespace
} // namespace qif2ldx::test
