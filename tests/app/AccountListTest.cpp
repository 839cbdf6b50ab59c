// SPDX-License-Identifier: MIT
#include "app/AccountList.h"

#include "app/MainModule.h"
#include "support/FixedEnvironment.h"
#include "support/FixedProgramFolder.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

namespace qif2ldx::test {
namespace {

using app::LoadAccountInfo;
using app::ReadAccountNames;
using records::CAcctInfo;

class AccountList : public ::testing::Test
{
protected:
    std::string List(const std::string& bytes)
    {
        WriteBytes(path, bytes);
        return path;
    }

    TempDir dir;
    std::string path = dir.File("olacclst.dat");
};

TEST_F(AccountList, NamesInFileOrderSkippingEmptyLines)
{
    const auto read = ReadAccountNames(
        List("\r\nCheque,CHECKING,GBP,1,2,3\r\n\r\nCheque,X\r\n,lead\nVisa,CREDIT\rCaf\xE9,S"));
    EXPECT_TRUE(read.bolComplete);
    EXPECT_EQ(read.names,
              (std::vector<std::string>{"Cheque", "Cheque", "", "Visa", "Caf\xC3\xA9"}));
    EXPECT_TRUE(ReadAccountNames(List("")).bolComplete);
    EXPECT_TRUE(ReadAccountNames(List("")).names.empty());
}

TEST_F(AccountList, LineWithoutCommaStopsTheNames)
{
    for (const char* stopper : {"NoComma", "   "}) {
        const auto read = ReadAccountNames(List(std::string("A,x\r\n") + stopper + "\r\nB,y\r\n"));
        EXPECT_FALSE(read.bolComplete) << stopper;
        EXPECT_EQ(read.names, std::vector<std::string>{"A"}) << stopper;
    }
    for (const std::string& unreadable :
         {dir.File("missing.dat"), dir.Path().string(), std::string("/dev/zero"), std::string()}) {
        const auto read = ReadAccountNames(unreadable);
        EXPECT_FALSE(read.bolComplete) << unreadable;
        EXPECT_TRUE(read.names.empty()) << unreadable;
    }
}

TEST_F(AccountList, LastMatchingLineWinsAndNamesAreTrimmedOnOneSideOnly)
{
    List("Main,CHECKING,USD,111,222,333\r\n"
         " Main,SAVINGS,USD,999,999,999\r\n"
         "main,SAVINGS,USD,888,888,888\r\n"
         "Main ,SAVINGS,USD,777,777,777\r\n"
         "Main,CREDIT,EUR,444,,555,extra,fields\r\n");
    records::CAcctInfo info;
    EXPECT_TRUE(LoadAccountInfo(path, "  Main  ", info));
    EXPECT_EQ(info.AcctName, "Main");
    EXPECT_EQ(info.AcctType, "CREDIT");
    EXPECT_EQ(info.CurDef, "EUR");
    EXPECT_EQ(info.AcctNum, "444");
    EXPECT_EQ(info.BranchNum, "");
    EXPECT_EQ(info.BID, "555");

    records::CAcctInfo trailing;
    EXPECT_TRUE(LoadAccountInfo(path, "Main ,", trailing)); // finds nothing: stays empty
    EXPECT_EQ(trailing.AcctName, "");
}

TEST_F(AccountList, ShortMatchingLineStopsWithFieldsSoFar)
{
    List("Short,CHECKING,USD,1,2,3\r\nShort,SAVINGS,GBP\r\nShort,X,Y,Z,W,V\r\n");
    records::CAcctInfo info;
    EXPECT_FALSE(LoadAccountInfo(path, "Short", info));
    EXPECT_EQ(info.AcctType, "SAVINGS");
    EXPECT_EQ(info.CurDef, "GBP");
    EXPECT_EQ(info.AcctNum, "1"); // kept from the earlier line
    EXPECT_EQ(info.BID, "3");
}

TEST_F(AccountList, LookUpFailuresLeaveTheRecordEmpty)
{
    records::CAcctInfo info;
    EXPECT_FALSE(LoadAccountInfo("", "A", info));
    EXPECT_FALSE(LoadAccountInfo(dir.File("missing.dat"), "A", info));
    EXPECT_FALSE(LoadAccountInfo(dir.Path().string(), "A", info));
    EXPECT_TRUE(LoadAccountInfo(List("B,1,2,3,4,5\r\n   \r\n"), "A", info));
    EXPECT_EQ(info.AcctName, "");
    EXPECT_TRUE(LoadAccountInfo(List("   ,1,2,3,4,5\r\n"), "   ", info)); // trimmed to ""
    EXPECT_EQ(info.AcctType, "");
    EXPECT_TRUE(LoadAccountInfo(List(",1,2,3,4,5\r\n"), "   ", info));
    EXPECT_EQ(info.AcctType, "1");
}

TEST(AccountListPath, GivenListThenTheUsersOwnWhenItExistsThenTheProgramFolders)
{
    TempDir dir;
    const std::string home = dir.File("home");
    const std::string inHome = home + "/.config/qif2ldx/olacclst.dat";
    const std::string inXdg = dir.File("xdg/qif2ldx/olacclst.dat");
    std::filesystem::create_directories(home + "/.config/qif2ldx");
    std::filesystem::create_directories(dir.File("xdg/qif2ldx"));
    std::filesystem::create_directories(dir.File("folder/qif2ldx/olacclst.dat"));
    WriteBytes(inHome, "Home,CHECKING,GBP,1,2,3\r\n");
    WriteBytes(inXdg, "Xdg,CHECKING,GBP,1,2,3\r\n");
    const std::string programList = "/opt/qif2ldx/olacclst.dat";
    const struct
    {
        std::string given;
        std::map<std::string, std::string> variables;
        std::string expected;
    } cases[] = {
        {"mine.dat", {{"XDG_CONFIG_HOME", dir.File("xdg")}}, "mine.dat"},
        {"", {{"XDG_CONFIG_HOME", dir.File("xdg")}, {"HOME", home}}, inXdg},
        {"", {{"XDG_CONFIG_HOME", dir.File("xdg") + "/"}}, inXdg},
        {"", {{"XDG_CONFIG_HOME", ""}, {"HOME", home}}, inHome},
        {"", {{"HOME", home}}, inHome},
        {"", {{"XDG_CONFIG_HOME", "xdg"}, {"HOME", home}}, inHome}, // relative: not a folder
        {"", {{"XDG_CONFIG_HOME", dir.File("none")}, {"HOME", home}}, programList},
        {"", {{"XDG_CONFIG_HOME", dir.File("folder")}}, programList},
        {"", {}, programList},
    };
    for (const auto& c : cases) {
        FixedEnvironment environment;
        environment.variables = c.variables;
        EXPECT_EQ(app::ResolveAccountList(c.given, FixedProgramFolder("/opt/qif2ldx"), environment),
                  c.expected);
    }
}

TEST(MainModule, FileExistsOnlyForThingsThatAreNotFolders)
{
    TempDir dir;
    WriteBytes(dir.File("f"), "x");
    std::filesystem::create_directory(dir.File("d"));
    std::filesystem::create_directory_symlink(dir.File("d"), dir.File("link-to-d"));
    std::filesystem::create_symlink(dir.File("f"), dir.File("link-to-f"));
    EXPECT_TRUE(app::FileExists(dir.File("f")));
    EXPECT_TRUE(app::FileExists(dir.File("link-to-f")));
    EXPECT_FALSE(app::FileExists(dir.File("d")));
    EXPECT_FALSE(app::FileExists(dir.File("link-to-d")));
    EXPECT_FALSE(app::FileExists(dir.File("missing")));
    EXPECT_FALSE(app::FileExists(""));
}

TEST(MainModule, AppPathEndsInExactlyOneSeparator)
{
    EXPECT_EQ(app::AppPath(test::FixedProgramFolder("/opt/tools")), "/opt/tools/");
    EXPECT_EQ(app::AppPath(test::FixedProgramFolder("/")), "/");
    EXPECT_EQ(app::Trim("  a b \t "), "a b \t");
    EXPECT_EQ(app::Trim("   "), "");
}

struct PathCase
{
    std::string sPath;
    std::string sExpected;
};

class MainModulePath : public ::testing::TestWithParam<PathCase>
{};

TEST_P(MainModulePath, OnlyTheFilesOwnNameHoldsItsExtension)
{
    EXPECT_EQ(app::GetPathBeforeExtension(GetParam().sPath), GetParam().sExpected);
}

INSTANTIATE_TEST_SUITE_P(Names, MainModulePath,
                         ::testing::Values(PathCase{"/home/u/May.qif", "/home/u/May."},
                                           PathCase{"May.2026.qif", "May.2026."},
                                           PathCase{"j.smith/Downloads/statement",
                                                    "j.smith/Downloads/statement."},
                                           PathCase{"statement", "statement."},
                                           PathCase{"/home/u/.May.qif", "/home/u/.May."},
                                           PathCase{"/home/u/.statement", "/home/u/.statement."},
                                           PathCase{"May.", "May."}));

} // namespace
} // namespace qif2ldx::test
