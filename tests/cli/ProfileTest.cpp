// SPDX-License-Identifier: MIT
#include "cli/CommandLineRunner.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace qif2ldx::test {
namespace {

using app::cli::kExitRefused;
using app::cli::kExitSaved;

const std::string kData = QIF2LDX_TEST_DATA;
const std::string kNote = "OFX readers other than Lodestrand misread ";
const std::string kAdvice = "; --profile portable writes a statement they read right";

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

struct NoteCase
{
    std::string qif, profile, warning, note; // note: what other OFX readers misread
};

void PrintTo(const NoteCase& c, std::ostream* out)
{
    *out << c.profile << " " << ::testing::PrintToString(c.qif);
}

class ProfileNote : public Profile, public ::testing::WithParamInterface<NoteCase>
{};

// The note is in the JSON receipt, and on the terminal only for a statement on standard output,
// which may be for another reader than Lodestrand.
TEST_P(ProfileNote, NamesThePortableProfileWhereOtherReadersWouldMisreadIt)
{
    const NoteCase& c = GetParam();
    ASSERT_EQ(Convert(c.qif, {"--profile", c.profile}), kExitSaved);
    EXPECT_EQ(err.str(), c.warning);
    ASSERT_EQ(Convert(c.qif, {"--profile", c.profile, "--json"}), kExitSaved);
    const auto notes = nlohmann::json::parse(out.str())["notes"];
    EXPECT_EQ(notes, c.note.empty() ? nlohmann::json::array()
                                    : nlohmann::json::array({kNote + c.note + kAdvice}));
    WriteBytes(dir.File("in.qif"), c.qif);
    ASSERT_EQ(RunCommand({"convert", dir.File("in.qif"), "-a", "Travel Visa", "-o", "-",
                          "--profile", c.profile}),
              kExitSaved);
    const std::string sNote = c.note.empty() ? "" : "qif2ldx: note: " + kNote + c.note + kAdvice;
    EXPECT_EQ(err.str().find("note:") != std::string::npos, !c.note.empty());
    EXPECT_THAT(err.str(), ::testing::HasSubstr(sNote));
}

const std::string kEmpty =
    "qif2ldx: warning: the file holds no transaction with a date and an amount; the statement is "
    "empty\n";

INSTANTIATE_TEST_SUITE_P(
    Statements, ProfileNote,
    ::testing::Values(
        NoteCase{"D13/11/2026\r\nT-1,234.56\r\n^\r\nD14/11/2026\r\nT-2,000.00\r\n^\r\n",
                 "lodestrand", "", "amounts with thousands separators"},
        NoteCase{"D13/11/2026\r\nT1.234,56\r\n^\r\n", "lodestrand", "",
                 "amounts with thousands separators"},
        NoteCase{"", "lodestrand", kEmpty, "an empty statement's dates"},
        NoteCase{"D13/11/2026\r\nT-1234.56\r\n^\r\nD14/11/2026\r\nT12.5\r\n^\r\n", "lodestrand", "",
                 ""},
        NoteCase{"D13/11/2026\r\nT-1,234.56\r\n^\r\n", "portable", "", ""},
        NoteCase{"D13/11/2026\r\nTn/a\r\n^\r\nD13/11/2026\r\nT1\r\n^\r\n", "portable",
                 "qif2ldx: warning: 1 record whose amount is not a number was not written\n", ""}));

// Text that Windows-1252 cannot carry: the portable statement transliterates the characters it
// lacks and writes a byte it leaves undefined as "?"; the default one keeps both as the statement
// file's rules say (a reference, the byte). Either way the run says so.
TEST_F(Profile, WhatWindows1252CannotCarryIsToldAndThePortableStatementRewritesIt)
{
    const std::string scripts = "D13/11/2026\r\nT-1.00\r\nP\xC5\x81\xC3\xB3"
                                "d\xC5\xBA\r\n^\r\nD14/11/2026\r\nT-2.00\r\nPCaf\xC3\xA9\r\nM"
                                "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0\r\n^\r\n";
    const std::string undefined = "D13/11/2026\r\nT-1.00\r\nPRef\x81nd\r\n^\r\n";
    const std::string byte =
        "qif2ldx: warning: a byte that windows-1252 leaves undefined (0x81) is "
        "in the record on line 1; the statement ";
    const struct
    {
        std::string qif, profile, warning, written;
        int transliterated, undefined;
    } cases[] = {
        {scripts, "portable",
         "qif2ldx: warning: characters that windows-1252 lacks were transliterated in 2 texts: "
         "payee \"\xC5\x81\xC3\xB3"
         "d\xC5\xBA\" as \"L\xC3\xB3"
         "dz\" (record on line 1) and memo \"\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0\" "
         "as \"Moskva\" (record on line 5)\n",
         "<NAME>L\xF3"
         "dz</NAME><MEMO></MEMO></STMTTRN><STMTTRN><TRNTYPE>DEBIT</TRNTYPE><DTPOSTED>20261114"
         "</DTPOSTED><TRNAMT>-2.00</TRNAMT><FITID>",
         2, 0},
        {scripts, "lodestrand", "",
         "<NAME>&#321;\xF3"
         "d&#378;</NAME>",
         0, 0},
        {scripts, "lodestrand", "", "<MEMO>&#1052;&#1086;&#1089;&#1082;&#1074;&#1072;</MEMO>", 0,
         0},
        {undefined, "portable", byte + "has \"?\" for it\n", "<NAME>Ref?nd</NAME>", 0, 1},
        {undefined, "lodestrand",
         byte + "keeps it, and some OFX readers stop reading there (--profile portable writes "
                "\"?\")\n",
         "<NAME>Ref\x81nd</NAME>", 0, 1},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(Convert(c.qif, {"--profile", c.profile, "--json"}), kExitSaved) << err.str();
        EXPECT_EQ(err.str(), c.warning) << c.profile;
        EXPECT_THAT(ReadBytes(ldx), ::testing::HasSubstr(c.written)) << c.profile;
        const nlohmann::json receipt = nlohmann::json::parse(out.str());
        EXPECT_EQ(receipt["transliterated"], c.transliterated) << c.profile;
        EXPECT_EQ(receipt["undefined_bytes"], c.undefined) << c.profile;
    }
}

} // namespace
} // namespace qif2ldx::test
