// SPDX-License-Identifier: MIT
#include "app/cli/CheckCommand.h"

#include "cli/CommandLineRunner.h"
#include "support/TempDir.h"

#include <csignal>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace qif2ldx::test {
namespace {

using testing::HasSubstr;

const std::string kData = QIF2LDX_TEST_DATA;

// A statement with a byte that its character set does not hold in each of 1,005 elements.
const std::string kStrayBytes = "OFXHEADER:100\r\nDATA:OFXSGML\r\nCHARSET:1252\r\n\r\n<OFX>" + [] {
    std::string elements;
    for (int i = 0; i < 1005; ++i) {
        elements += "<A>\x81";
    }
    return elements;
}() + "</OFX>\r\n";

class CheckCommand : public ::testing::Test, protected CommandLineRunner
{
protected:
    CheckCommand() { sProgramFolder = kData; }

    TempDir dir;
};

TEST_F(CheckCommand, DefaultStatementHasHazardsThatThePortableOneHasNot)
{
    EXPECT_EQ(RunCommand({"check", kData + "/creditcard.LDX", "--json"}),
              app::cli::kCheckFoundHazards);
    const nlohmann::json result = nlohmann::json::parse(out.str());
    EXPECT_EQ(result["transactions"], 8);
    std::map<std::string, int> kinds;
    for (const auto& hazard : result["hazards"]) {
        ++kinds[hazard["kind"].get<std::string>()];
    }
    EXPECT_EQ(kinds, (std::map<std::string, int>{{"header-blank", 9}, {"positional-fitids", 1}}));
    EXPECT_EQ(result["hazard_count"], 10);
    EXPECT_EQ(result["unlisted"], nlohmann::json::object());
    EXPECT_EQ(result["hazards"][0]["line"], 1);
    EXPECT_EQ(result["hazards"][0]["transaction"], nullptr);

    const std::string portable = dir.File("card.LDX");
    ASSERT_EQ(RunCommand({"convert", kData + "/creditcard.qif", "-a", "Travel Visa", "-o", portable,
                          "--profile", "portable"}),
              app::cli::kExitSaved);
    EXPECT_EQ(RunCommand({"check", portable}), app::cli::kCheckFoundNothing);
    EXPECT_EQ(out.str(), portable + ": 8 transactions, no hazards found\n");
}

TEST_F(CheckCommand, HazardsAreListedByTransactionAndUnreadableFilesExitWithTwo)
{
    EXPECT_EQ(RunCommand({"check", kData + "/bank.LDX"}), app::cli::kCheckFoundHazards);
    EXPECT_THAT(out.str(),
                HasSubstr("\n  transaction 2, CHECKNUM \"STO\": a check number that is not"));

    EXPECT_EQ(RunCommand({"check", kData + "/bank.qif", "--json"}), app::cli::kCheckUnreadable);
    EXPECT_EQ(nlohmann::json::parse(out.str())["readable"], false);
    EXPECT_EQ(err.str(), "qif2ldx: error: " + kData +
                             "/bank.qif is no OFX statement that can be checked: it starts "
                             "with neither an OFX header nor an XML declaration\n");
    EXPECT_EQ(RunCommand({"check", dir.File("none.ofx")}), app::cli::kCheckUnreadable);
    EXPECT_EQ(RunCommand({"check"}), app::cli::kCheckUnreadable);
}

TEST_F(CheckCommand, HazardsPastTheFirstThousandAreCountedByKind)
{
    const std::string file = dir.File("stray.ofx");
    WriteBytes(file, kStrayBytes);
    EXPECT_EQ(RunCommand({"check", file}), app::cli::kCheckFoundHazards);
    const std::string text = out.str();
    EXPECT_THAT(text, testing::StartsWith(file + ": 0 transactions, 1,005 hazards that other OFX "
                                                 "readers trip over\n  A \"0x81\": a byte"));
    EXPECT_THAT(text, testing::EndsWith("\"0x81\": a byte that the declared character set does "
                                        "not hold: readers decode the text wrongly or refuse "
                                        "it\n  and 5 more: 5 bytes outside the charset\n"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1002);

    EXPECT_EQ(RunCommand({"check", file, "--json"}), app::cli::kCheckFoundHazards);
    const nlohmann::json result = nlohmann::json::parse(out.str());
    EXPECT_EQ(result["hazard_count"], 1005);
    EXPECT_EQ(result["hazards"].size(), 1000U);
    EXPECT_EQ(result["unlisted"], (nlohmann::json{{"byte-outside-charset", 5}}));
}

TEST_F(CheckCommand, AnInterruptStopsItWithNothingOnStandardOutput)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"check", kData + "/bank.LDX"},
          std::vector<std::string>{"check", kData + "/bank.LDX", "--json"}}) {
        interrupt = SIGINT;
        EXPECT_EQ(RunCommand(args), app::cli::kCheckInterrupted);
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(err.str(),
                  "qif2ldx: error: interrupted; " + kData + "/bank.LDX was not checked\n");
    }
}

} // namespace
} // namespace qif2ldx::test
