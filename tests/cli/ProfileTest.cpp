// SPDX-License-Identifier: MIT
#include "cli/CommandLineRunner.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qif2ldx::test {
namespace {

using app::cli::kExitRefused;
using app::cli::kExitSaved;

const std::string kData = QIF2LDX_TEST_DATA;
const std::string kNote = "qif2ldx: note: OFX readers other than Lodestrand misread ";
const std::string kAdvice = "; --profile portable writes a statement they read right\n";

class Profile : public ::testing::Test, protected CommandLineRunner
{
protected:
    Profile() { sProgramFolder = kData; }

    int Convert(const std::string& qif, const std::vector<std::string>& more = {})
    {
        WriteBytes(dir.File("in.qif"), qif);
        std::vector<std::string> args = {"convert", dir.File("in.qif"), "-a", "Travel Visa", "-o",
                                         ldx,       "--overwrite"};
        args.insert(args.end(), more.begin(), more.end());
        return RunCommand(args);
    }

    TempDir dir;
    std::string ldx = dir.File("out.LDX");
};

TEST_F(Profile, PortableStatementIsTheSameEachTimeAndDiffersFromTheDefault)
{
    const std::string qif = ReadBytes(kData + "/creditcard.qif");
    ASSERT_EQ(Convert(qif, {"--profile", "portable"}), kExitSaved) << err.str();
    EXPECT_EQ(err.str(), "");
    const std::string first = ReadBytes(ldx);
    ASSERT_EQ(Convert(qif, {"--profile", "portable"}), kExitSaved);
    EXPECT_EQ(ReadBytes(ldx), first);
    EXPECT_EQ(first.substr(0, 15), "OFXHEADER:100\r\n");
    EXPECT_THAT(first, ::testing::Not(::testing::HasSubstr("<FITID>0</FITID>")));
    ASSERT_EQ(Convert(qif, {"--profile", "lodestrand"}), kExitSaved);
    EXPECT_EQ(ReadBytes(ldx), ReadBytes(kData + "/creditcard.LDX"));
    EXPECT_EQ(Convert(qif, {"--profile", "quicken"}), kExitRefused);
}

TEST_F(Profile, DefaultRunNamesThePortableProfileOnceWhereOtherReadersWouldMisreadIt)
{
    const struct
    {
        std::string qif, profile, note;
    } cases[] = {
        {"D13/11/2026\r\nT-1,234.56\r\n^\r\nD14/11/2026\r\nT-2,000.00\r\n^\r\n", "lodestrand",
         kNote + "amounts with thousands separators" + kAdvice},
        {"D13/11/2026\r\nT1.234,56\r\n^\r\n", "lodestrand",
         kNote + "amounts with thousands separators" + kAdvice},
        {"", "lodestrand",
         "qif2ldx: warning: the file holds no transaction with a date and an amount; the "
         "statement is empty\n" +
             kNote + "an empty statement's dates" + kAdvice},
        {"D13/11/2026\r\nT-1234.56\r\n^\r\nD14/11/2026\r\nT12.5\r\n^\r\n", "lodestrand", ""},
        {"D13/11/2026\r\nT-1,234.56\r\n^\r\n", "portable", ""},
        {"D13/11/2026\r\nTn/a\r\n^\r\nD13/11/2026\r\nT1\r\n^\r\n", "portable",
         "qif2ldx: warning: 1 record whose amount is not a number was not written\n"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(Convert(c.qif, {"--profile", c.profile}), kExitSaved) << c.qif;
        EXPECT_EQ(err.str(), c.note) << c.qif;
    }
}

} // namespace
} // namespace qif2ldx::test
