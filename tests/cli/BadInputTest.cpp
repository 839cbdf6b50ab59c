// SPDX-License-Identifier: MIT
// Whatever it is given, the command line ends with its documented status and a message, leaves
// the QIF file as it was and writes nothing but the statement.
#include "cli/CommandLineRunner.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace qif2ldx::test {
namespace {

namespace fs = std::filesystem;
using app::cli::kExitFailed;
using app::cli::kExitRefused;
using app::cli::kExitSaved;

const std::string kData = QIF2LDX_TEST_DATA;
const std::string kGood = "!Type:Bank\r\nD13/05/2026\r\nT-1.00\r\nPShop\r\n^\r\n";

class BadInput : public ::testing::Test, protected CommandLineRunner
{
protected:
    BadInput()
    {
        fs::create_directory(dir.File("program"));
        fs::copy_file(kData + "/olacclst.dat", dir.File("program/olacclst.dat"));
        sProgramFolder = dir.File("program");
    }

    // Converts the bytes; checks that the QIF file is unchanged and that nothing but the
    // statement was written, and returns the exit status.
    int Convert(const std::string& bytes, const std::string& account = "Everyday Current")
    {
        const std::string qif = dir.File("in.qif");
        WriteBytes(qif, bytes);
        const int status = RunCommand({"convert", qif, "-a", account, "--overwrite"});
        EXPECT_EQ(ReadBytes(qif), bytes);
        ExpectOnly({"in.qif", "in.LDX"});
        return status;
    }

    void ExpectOnly(std::set<std::string> allowed)
    {
        allowed.insert("program");
        for (const auto& entry : fs::directory_iterator(dir.Path())) {
            EXPECT_TRUE(allowed.count(entry.path().filename().string()) == 1)
                << "unexpected " << entry.path();
        }
        for (const auto& entry : fs::directory_iterator(dir.File("program"))) {
            EXPECT_EQ(entry.path().filename(), "olacclst.dat");
        }
    }

    std::string Statement() const { return ReadBytes(dir.File("in.LDX")); }

    TempDir dir;
};

TEST_F(BadInput, QifPathsThatAreNeitherFilesNorPipesAreRefused)
{
    // Each refusal names its own cause.
    const std::pair<std::string, std::string> cases[] = {
        {dir.File("missing.qif"), "does not exist"},
        {dir.Path().string(), "is a folder"},
        {"/dev/zero", "is neither a file nor a pipe"},
    };
    for (const auto& [path, cause] : cases) {
        EXPECT_EQ(RunCommand({"convert", path, "-a", "A", "-o", dir.File("x.LDX")}), kExitRefused);
        EXPECT_EQ(err.str(), "qif2ldx: error: the QIF file " + cause + ": " + path + "\n");
    }
    EXPECT_FALSE(fs::exists(dir.File("x.LDX")));
}

// A file that cannot be read is no empty file: every command refuses it, naming the file and
// the system's reason, and writes nothing. Reading /proc/self/mem from its start fails (EIO)
// for root too; a file without permissions only for others.
TEST_F(BadInput, FilesThatCannotBeReadAreRefusedInEveryCommand)
{
    const std::string locked = dir.File("locked.qif");
    WriteBytes(locked, kGood);
    fs::permissions(locked, fs::perms::none);
    std::vector<std::pair<std::string, std::string>> files = {
        {"/proc/self/mem", "input/output error"}};
    if (::geteuid() != 0) { // root reads every file
        files.emplace_back(locked, "permission denied");
    }
    const std::string ldx = dir.File("out.LDX");
    for (const auto& [file, reason] : files) {
        for (const std::vector<std::string>& command :
             {std::vector<std::string>{"convert", file, "-a", "A", "-o", ldx},
              std::vector<std::string>{"show", file}, std::vector<std::string>{"check", file}}) {
            EXPECT_EQ(RunCommand(command), kExitRefused) << command[0] << " " << file;
            EXPECT_THAT(err.str(), ::testing::HasSubstr("annot read " + file + ": " + reason))
                << command[0];
            EXPECT_THAT(err.str(), ::testing::Not(::testing::HasSubstr("valid QIF file")));
        }
    }
    ExpectOnly({"locked.qif"});
}

TEST_F(BadInput, EmptyAndCaretOnlyFilesGiveEmptyStatements)
{
    for (const std::string& bytes : {std::string(), std::string("^\r\n^\r\n^\r\n^")}) {
        EXPECT_EQ(Convert(bytes), kExitSaved);
        EXPECT_THAT(err.str(), ::testing::HasSubstr("the statement is empty"));
        EXPECT_THAT(Statement(),
                    ::testing::HasSubstr("<BANKTRANLIST><DTSTART></DTSTART><DTEND></DTEND>"
                                         "</BANKTRANLIST>"));
    }
}

TEST_F(BadInput, BinaryFilesEndCleanly)
{
    std::mt19937 random(20261208);
    for (int round = 0; round < 20; ++round) {
        std::string bytes(4096, '\0');
        for (char& byte : bytes) {
            byte = static_cast<char>(random());
        }
        const int status = Convert(bytes);
        EXPECT_TRUE(status == kExitSaved || status == kExitFailed) << status;
    }
    EXPECT_EQ(Convert(std::string(100000, '\0')), kExitFailed);
    EXPECT_THAT(err.str(), ::testing::HasSubstr("does not look like a QIF file"));
}

TEST_F(BadInput, HugeLinesAreHandled)
{
    // 100 MB without a line end: refused quickly as a file without lines.
    EXPECT_EQ(Convert(std::string(100 << 20, 'x')), kExitFailed);
    // 100 MB as the unterminated last line after a valid header: read, and reported.
    EXPECT_EQ(Convert(kGood + "P" + std::string(100 << 20, 'y')), kExitSaved);
    EXPECT_THAT(err.str(), ::testing::HasSubstr("the file ends inside a record"));
    // Lines of 1 MB: the name is cut, the memo is kept whole.
    const std::string memo(1 << 20, 'm');
    EXPECT_EQ(Convert("D13/05/2026\r\nT1\r\nP" + std::string(1 << 20, 'p') + "\r\nM" + memo +
                      "\r\n^\r\n"),
              kExitSaved);
    EXPECT_THAT(Statement(),
                ::testing::HasSubstr("<NAME>" + std::string(32, 'p') + "</NAME><MEMO>" + memo));
}

TEST_F(BadInput, ByteOrderMarkMeansUtf8AndCrOnlyLinesAreRead)
{
    EXPECT_EQ(Convert("\xEF\xBB\xBF!Type:Bank\r\nD13/05/2026\r\nT-1\r\nPCaf\xC3\xA9 \xE2\x82\xAC"
                      "\r\n^\r\n"),
              kExitSaved);
    EXPECT_THAT(Statement(), ::testing::HasSubstr("<NAME>Caf\xE9 \x80</NAME>"));
    EXPECT_EQ(Convert("!Type:Bank\rD13/05/2026\rT-1\r^\r"), kExitSaved);
    EXPECT_THAT(Statement(), ::testing::HasSubstr("<TRNAMT>-1</TRNAMT>"));
}

TEST_F(BadInput, StatementPathsThatCannotBeWrittenFailWithAReason)
{
    const std::string qif = dir.File("in.qif");
    WriteBytes(qif, kGood);
    fs::create_directory(dir.File("folder.LDX"));
    // The QIF file is not at fault: the cause takes the place of "Please ensure ...".
    const std::pair<std::string, std::string> cases[] = {
        {dir.File("missing/out.LDX"), "no such file"},
        {"/proc/qif2ldx.LDX", "no such file"},
        {dir.File(std::string(300, 'n') + ".LDX"), "file name too long"},
        {dir.File("folder.LDX"), "it is a folder"},
    };
    for (const auto& [ldx, cause] : cases) {
        EXPECT_EQ(RunCommand({"convert", qif, "-a", "Everyday Current", "-o", ldx}), kExitFailed)
            << ldx;
        EXPECT_EQ(err.str(),
                  "qif2ldx: error: Errors were encountered whilst attempting to convert: " + qif +
                      ". The statement file cannot be created: " + ldx + ": " + cause + ".\n");
    }
    EXPECT_TRUE(fs::is_directory(dir.File("folder.LDX")));
}

TEST_F(BadInput, OddButValidStatementPathsWork)
{
    const std::string qif = dir.File("in.qif");
    WriteBytes(qif, kGood);
    const std::string odd = dir.File("Relevé de compte – mai.ldx");
    EXPECT_EQ(RunCommand({"convert", qif, "-a", "Everyday Current", "-o", odd}), kExitSaved);
    EXPECT_EQ(ReadBytes(odd).substr(0, 9), "OFXHEADER");

    // A link is replaced by the statement, never written through.
    const std::string target = dir.File("target.txt");
    WriteBytes(target, "keep");
    fs::create_symlink(target, dir.File("link.LDX"));
    EXPECT_EQ(RunCommand({"convert", qif, "-a", "Everyday Current", "-o", dir.File("link.LDX"),
                          "--overwrite"}),
              kExitSaved);
    EXPECT_FALSE(fs::is_symlink(dir.File("link.LDX")));
    EXPECT_EQ(ReadBytes(target), "keep");
    fs::create_symlink(dir.File("nowhere.txt"), dir.File("dangling.LDX"));
    EXPECT_EQ(
        RunCommand({"convert", qif, "-a", "Everyday Current", "-o", dir.File("dangling.LDX")}),
        kExitSaved);
    EXPECT_FALSE(fs::exists(dir.File("nowhere.txt")));
}

TEST_F(BadInput, AccountListsOfEveryKindNeverStopTheRun)
{
    const std::string list = dir.File("program/olacclst.dat");
    std::string big;
    while (big.size() < (10U << 20)) {
        big += "Filler account,CHECKING,GBP,1,2,3\r\n";
    }
    const std::vector<std::pair<std::string, std::string>> lists = {
        {"binary", std::string("\x00\x01\xFF,\xFE\r\n\x80", 8)},
        {"huge line", std::string(1 << 20, 'z') + ",X\r\nEveryday Current,SAVINGS,GBP,9,8,7\r\n"},
        {"10 MB", big + "Everyday Current,SAVINGS,GBP,9,8,7\r\n"},
        {"blanks", "   \r\n \r\nEveryday Current,SAVINGS,GBP,9,8,7\r\n"},
    };
    for (const auto& [what, bytes] : lists) {
        WriteBytes(list, bytes);
        EXPECT_EQ(Convert(kGood), kExitSaved) << what;
        const int listed = RunCommand({"accounts"});
        EXPECT_TRUE(listed == kExitSaved || listed == kExitFailed) << what;
    }
    WriteBytes(list, "Caf\xE9,SAVINGS,EUR,5,6,7\r\n");
    EXPECT_EQ(Convert(kGood, "Caf\xC3\xA9"), kExitSaved);
    EXPECT_EQ(err.str(), "");
    EXPECT_THAT(Statement(), ::testing::HasSubstr("<ACCTID>5</ACCTID>"));
    fs::remove(list);
    EXPECT_EQ(Convert(kGood), kExitSaved);
    EXPECT_THAT(err.str(), ::testing::HasSubstr("cannot read the account list"));
    fs::create_directory(list);
    EXPECT_EQ(Convert(kGood), kExitSaved);
    EXPECT_THAT(err.str(),
                ::testing::HasSubstr("cannot read the account list " + list + ": it is a folder"));
}

} // namespace
} // namespace qif2ldx::test
