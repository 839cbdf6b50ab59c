// SPDX-License-Identifier: MIT
// Repeats across statements, one case a row: what a run of convert finds in the history the
// runs before it left, and what the history holds afterwards.

#include "cli/CommandLineRunner.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>

namespace qif2ldx::test {
namespace {

using app::cli::kExitFailed;
using app::cli::kExitSaved;
using nlohmann::json;

const std::string kData = QIF2LDX_TEST_DATA;

// The QIF files the cases convert: one Tx a record.
std::string Tx(const std::string& sDate, const std::string& sAmount, const std::string& sPayee)
{
    return "D" + sDate + "\r\nT" + sAmount + "\r\nP" + sPayee + "\r\n^\r\n";
}
const std::map<std::string, std::string> kFiles = {
    {"early.qif", "!Type:Bank\r\n" + Tx("01/12/2026", "-12.50", "CORNER CAFE") +
                      Tx("10/12/2026", "-30.00", "GROCER")},
    {"late.qif",
     "!Type:Bank\r\n" + Tx("10/12/2026", "-30.00", "GROCER") + Tx("20/12/2026", "-5.00", "BAKERY")},
    {"early-part.qif", "!Type:Bank\r\n" + Tx("10/12/2026", "-30.0", "GROCER")},
    {"one-coffee.qif", "!Type:Bank\r\n" + Tx("03/12/2026", "-12.50", "CORNER CAFE")},
    {"two-coffees.qif", "!Type:Bank\r\n" + Tx("03/12/2026", "-12.50", "CORNER CAFE") +
                            Tx("03/12/2026", "-12.50", "CORNER CAFE")},
    {"posted-later.qif", "!Type:Bank\r\n" + Tx("05/12/2026", "-12.50", " CORNER CAFE ")},
    {"coffee-and-later.qif", "!Type:Bank\r\n" + Tx("03/12/2026", "-12.50", "CORNER CAFE") +
                                 Tx("05/12/2026", "-12.50", "CORNER CAFE")},
    {"export.qif",
     "!Account\r\nNChecking\r\nTBank\r\n^\r\n!Type:Bank\r\n" + Tx("01/12/2026", "-1.00", "FEE") +
         "!Account\r\nNSavings\r\nTBank\r\n^\r\n!Type:Bank\r\n" + Tx("02/12/2026", "-2.00", "FEE")},
    {"no-transactions.qif", "!Type:Cat\r\nNGroceries\r\nE\r\n^\r\n"},
};

struct Step
{
    std::string sFile;
    std::vector<std::string> args; // after the file and the account
    std::string sAccount = "Everyday Current";
};

// What the last step's JSON receipt says, and how many statements the history holds then.
struct Expected
{
    int status = kExitSaved;
    int count = 0; // -1: "repeats" is null
    bool bolLeftOut = false;
    std::size_t possible = 0;
    bool bolSameFile = false;
    int written = 0;
    std::size_t entries = 0;
};

struct RepeatCase
{
    const char* sName;
    std::vector<Step> steps;
    Expected expected;
};

// Runs the command line on the files above, with a history of its own.
class HistoryRunner : protected CommandLineRunner
{
protected:
    HistoryRunner()
    {
        sProgramFolder = kData;
        SetEnvironment({{"XDG_DATA_HOME", dir.File("data")}});
        for (const auto& [sName, sText] : kFiles) {
            WriteBytes(dir.File(sName), sText);
        }
    }

    TempDir dir;
};

class Repeats : public ::testing::TestWithParam<RepeatCase>, protected HistoryRunner
{};

TEST_P(Repeats, AreFoundInTheStatementsMadeBefore)
{
    const RepeatCase& c = GetParam();
    int status = 0;
    for (const Step& step : c.steps) {
        std::vector<std::string> args = {"convert", dir.File(step.sFile), "-a", step.sAccount,
                                         "--json"};
        for (const std::string& sArg : step.args) {
            args.push_back(sArg.starts_with("@") ? dir.File(sArg.substr(1)) : sArg);
        }
        status = RunCommand(args);
    }
    EXPECT_EQ(status, c.expected.status) << err.str();
    const json receipt = json::parse(out.str());
    const json& repeats = receipt["repeats"];
    if (c.expected.count < 0) {
        EXPECT_TRUE(repeats.is_null());
    } else {
        EXPECT_EQ(repeats["count"], c.expected.count);
        EXPECT_EQ(repeats["left_out"], c.expected.bolLeftOut);
        EXPECT_EQ(repeats["possible"].size(), c.expected.possible);
        EXPECT_EQ(!repeats["same_file"].is_null(), c.expected.bolSameFile);
    }
    // A run that writes nothing says so.
    EXPECT_EQ(receipt["written"], c.expected.written);
    ASSERT_EQ(RunCommand({"history", "--json"}), kExitSaved);
    EXPECT_EQ(json::parse(out.str())["statements"].size(), c.expected.entries);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Repeats,
    ::testing::Values(
        RepeatCase{
            "Exact", {{"early.qif", {}}, {"late.qif", {}}}, {kExitSaved, 1, false, 0, false, 2, 2}},
        RepeatCase{"CountedWithMultiplicity",
                   {{"one-coffee.qif", {}}, {"two-coffees.qif", {}}},
                   {kExitSaved, 1, false, 0, false, 2, 2}},
        RepeatCase{"PossibleRepeatIsToldNotCounted",
                   {{"one-coffee.qif", {}}, {"posted-later.qif", {"--repeats", "skip"}}},
                   {kExitSaved, 0, false, 1, false, 1, 2}},
        // A possible repeat is looked for among every earlier transaction, the one the file
        // also repeats exactly included.
        RepeatCase{"PossibleRepeatBesideAnExactOne",
                   {{"one-coffee.qif", {}}, {"coffee-and-later.qif", {}}},
                   {kExitSaved, 1, false, 1, false, 2, 2}},
        RepeatCase{"OtherAccountsStatementsAreNoRepeats",
                   {{"early.qif", {}}, {"late.qif", {}, "Rainy Day Savings"}},
                   {kExitSaved, 0, false, 0, false, 2, 2}},
        RepeatCase{"SkipLeavesThemOut",
                   {{"early.qif", {}}, {"late.qif", {"--repeats", "skip"}}},
                   {kExitSaved, 1, true, 0, false, 1, 2}},
        RepeatCase{"SkipWithNothingNewFails",
                   {{"early.qif", {}}, {"early-part.qif", {"--repeats", "skip"}}},
                   {kExitFailed, 1, true, 0, false, 0, 1}},
        RepeatCase{"SameFileElsewhereIsToldAndKept",
                   {{"early.qif", {}}, {"early.qif", {"-o", "@again.LDX"}}},
                   {kExitSaved, 0, false, 0, true, 2, 2}},
        RepeatCase{"SameFileWithoutTransactionsUnderSkipFails",
                   {{"no-transactions.qif", {}},
                    {"no-transactions.qif", {"-o", "@again.LDX", "--repeats", "skip"}}},
                   {kExitFailed, 0, false, 0, true, 0, 1}},
        RepeatCase{"SameFileUnderSkipFails",
                   {{"early.qif", {}}, {"early.qif", {"-o", "@again.LDX", "--repeats", "skip"}}},
                   {kExitFailed, 0, false, 0, true, 0, 1}},
        RepeatCase{"RedoTakesTheOldEntrysPlace",
                   {{"early.qif", {}}, {"early.qif", {"--overwrite"}}},
                   {kExitSaved, 0, false, 0, true, 2, 1}},
        RepeatCase{"OverwriteFromAnotherQIFAccountKeepsTheOldEntry",
                   {{"export.qif", {"--qif-account", "Checking", "-o", "@m.LDX"}},
                    {"export.qif", {"--qif-account", "Savings", "-o", "@m.LDX", "--overwrite"}}},
                   {kExitSaved, 0, false, 0, false, 1, 2}},
        RepeatCase{
            "OverwriteWithOtherBytesKeepsTheOldEntry",
            {{"early.qif", {"-o", "@same.LDX"}}, {"late.qif", {"-o", "@same.LDX", "--overwrite"}}},
            {kExitSaved, 1, false, 0, false, 2, 2}},
        RepeatCase{"DryRunRecordsNothing",
                   {{"early.qif", {"--dry-run"}}, {"late.qif", {}}},
                   {kExitSaved, 0, false, 0, false, 2, 1}},
        RepeatCase{"NoHistoryReadsAndRecordsNothing",
                   {{"early.qif", {}}, {"late.qif", {"--no-history"}}},
                   {kExitSaved, -1, false, 0, false, 2, 1}}),
    [](const auto& param) { return std::string(param.param.sName); });

class RepeatWords : public ::testing::Test, protected HistoryRunner
{};

TEST_F(RepeatWords, NameTheEarlierStatementTheLinesAndTheWayOut)
{
    ASSERT_EQ(RunCommand({"convert", dir.File("early.qif"), "-a", "Everyday Current"}), kExitSaved);
    const std::string sEarlier =
        dir.File("early.LDX") + " (made 2026-12-07 from " + dir.File("early.qif") + ")";
    ASSERT_EQ(RunCommand({"convert", dir.File("late.qif"), "-a", "Everyday Current", "--dry-run"}),
              kExitSaved);
    EXPECT_NE(err.str().find("qif2ldx: warning: 1 of the 2 transactions of " +
                             dir.File("late.qif") + " is already in " + sEarlier +
                             ": line 2 (2026-12-10, GROCER, -30.00); --repeats skip leaves them "
                             "out; its FITIDs count from 0"),
              std::string::npos)
        << err.str();

    ASSERT_EQ(RunCommand({"convert", dir.File("late.qif"), "-a", "Everyday Current", "-o",
                          dir.File("skipped.LDX"), "--repeats", "skip", "--json"}),
              kExitSaved);
    const json receipt = json::parse(out.str());
    EXPECT_EQ(receipt["left_out"],
              json::array({{{"line", 2}, {"reason", "already in " + sEarlier}}}));
    EXPECT_EQ(receipt["period"], json({{"start", "2026-12-20"}, {"end", "2026-12-20"}}));
    EXPECT_EQ(receipt["repeats"]["records"], json::array({{{"line", 2},
                                                           {"date", "2026-12-10"},
                                                           {"amount", "-30.00"},
                                                           {"payee", "GROCER"},
                                                           {"statement", dir.File("early.LDX")}}}));

    EXPECT_EQ(RunCommand({"convert", dir.File("early-part.qif"), "-a", "Everyday Current",
                          "--repeats", "skip"}),
              kExitFailed);
    EXPECT_EQ(err.str(), "qif2ldx: error: nothing is new: the 1 transaction of " +
                             dir.File("early-part.qif") + " is already in " + sEarlier +
                             "; nothing was written\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("early-part.LDX")));
}

} // namespace
} // namespace qif2ldx::test
