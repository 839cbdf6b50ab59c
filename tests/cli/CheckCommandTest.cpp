// SPDX-License-Identifier: MIT
#include "cli/CommandLineRunner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace qif2ldx::test {
namespace {

const std::string kData = QIF2LDX_TEST_DATA;

class CheckCommand : public ::testing::Test, protected CommandLineRunner
{
protected:
    CheckCommand() { sProgramFolder = kData; }

    TempDir dir;
};

TEST_F(CheckCommand, DefaultStatementHasHazardsThatThePortableOneHasNot)
{
    EXPECT_EQ(RunCommand({"check", kData + "/creditcard.LDX", "--json"}), app::cli::kExitFailed);
    const nlohmann::json result = nlohmann::json::parse(out.str());
    EXPECT_EQ(result["transactions"], 8);
    std::map<std::string, int> kinds;
    for (const auto& hazard : result["hazards"]) {
        ++kinds[hazard["kind"].get<std::string>()];
    }
    EXPECT_EQ(kinds, (std::map<std::string, int>{{"header-blank", 9}, {"positional-fitids", 1}}));
    EXPECT_EQ(result["hazards"][0]["line"], 1);
    EXPECT_EQ(result["hazards"][0]["transaction"], nullptr);

    const std::string portable = dir.File("card.LDX");
    ASSERT_EQ(RunCommand({"convert", kData + "/creditcard.qif", "-a", "Travel Visa", "-o", portable,
                          "--profile", "portable"}),
              app::cli::kExitSaved);
    EXPECT_EQ(RunCommand({"check", portable}), app::cli::kExitSaved);
    EXPECT_EQ(out.str(), portable + ": 8 transactions, no hazards found\n");
}

TEST_F(CheckCommand, HazardsAreListedByTransactionAndUnreadableFilesExitWithTwo)
{
    EXPECT_EQ(RunCommand({"check", kData + "/bank.LDX"}), app::cli::kExitFailed);
    EXPECT_NE(out.str().find("\n  transaction 2, CHECKNUM \"STO\": a check number that is not"),
              std::string::npos);

    EXPECT_EQ(RunCommand({"check", kData + "/bank.qif", "--json"}), app::cli::kExitRefused);
    EXPECT_EQ(nlohmann::json::parse(out.str())["readable"], false);
    EXPECT_EQ(err.str(), "qif2ldx: error: " + kData +
                             "/bank.qif is no OFX statement that can be checked: it starts "
                             "with neither an OFX header nor an XML declaration\n");
    EXPECT_EQ(RunCommand({"check", dir.File("none.ofx")}), app::cli::kExitRefused);
    EXPECT_EQ(RunCommand({"check"}), app::cli::kExitRefused);
}

} // namespace
} // namespace qif2ldx::test
