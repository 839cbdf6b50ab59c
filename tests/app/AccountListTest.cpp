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

struct ListCase
{
    std::string sBytes;
    std::vector<CAcctInfo> accounts;
    std::vector<std::int64_t> faults; // the lines skipped, told
    std::vector<bool> shortLines;     // per account: fewer than six fields
};

void PrintTo(const ListCase& c, std::ostream* out)
{
    *out << ::testing::PrintToString(c.sBytes);
}

class AccountListLines : public AccountList, public ::testing::WithParamInterface<ListCase>
{};

// The list is read as a person writes it: blanks around fields dropped, the type in upper case,
// and a line that names no account skipped and told of without losing the lines after it.
TEST_P(AccountListLines, ReadAsAPersonWritesThem)
{
    const app::AccountListContents contents = app::ReadAccountList(List(GetParam().sBytes));
    EXPECT_TRUE(contents.bolRead);
    std::vector<CAcctInfo> accounts;
    std::vector<bool> shortLines;
    for (const app::AccountEntry& entry : contents.accounts) {
        accounts.push_back(entry.cAcctInf);
        shortLines.push_back(entry.bolShort);
    }
    EXPECT_EQ(accounts, GetParam().accounts);
    std::vector<std::int64_t> faults;
    for (const app::AccountLineFault& fault : contents.faults) {
        faults.push_back(fault.line);
    }
    EXPECT_EQ(faults, GetParam().faults);
    if (!GetParam().shortLines.empty()) {
        EXPECT_EQ(shortLines, GetParam().shortLines);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, AccountListLines,
    ::testing::Values(
        ListCase{" Everyday Current ,\tchecking , GBP , 1 ,2,3 \r\n",
                 {{"Everyday Current", "CHECKING", "GBP", "1", "2", "3"}},
                 {},
                 {}},
        ListCase{"Visa,credit,USD,4,,5,extra,fields\r\n",
                 {{"Visa", "CREDIT", "USD", "4", "", "5"}},
                 {},
                 {}},
        ListCase{"A,x\r\nNoComma\r\n\r\n,CHECKING\r\n  \t \r\nB,y,z,1,2,3\r\n",
                 {{"A", "X", "", "", "", ""}, {"B", "Y", "z", "1", "2", "3"}},
                 {2, 4},
                 {true, false}},
        ListCase{"\r\nCheque,S\nCheque,T\rCaf\xE9,U", // line ends of every kind, Windows-1252
                 {{"Cheque", "S", "", "", "", ""},
                  {"Cheque", "T", "", "", "", ""},
                  {"Caf\xC3\xA9", "U", "", "", "", ""}},
                 {},
                 {}},
        ListCase{"", {}, {}, {}}));

TEST_F(AccountList, UnreadableListsHoldNothing)
{
    for (const std::string& unreadable :
         {dir.File("missing.dat"), dir.Path().string(), std::string("/dev/zero"), std::string()}) {
        const auto read = app::ReadAccountList(unreadable);
        EXPECT_FALSE(read.bolRead) << unreadable;
        EXPECT_TRUE(read.accounts.empty()) << unreadable;
        EXPECT_FALSE(ReadAccountNames(unreadable).bolComplete) << unreadable;
    }
    EXPECT_EQ(app::DescribeFault("/l.dat", {3, true}),
              "the account list /l.dat, line 3, has no comma; it was skipped");
}

TEST_F(AccountList, LastMatchingLineWinsAndTheTypedNameIsTrimmed)
{
    List("Main,CHECKING,USD,111,222,333\r\n"
         "main,SAVINGS,USD,888,888,888\r\n"
         " Main ,credit,EUR,444,,555,extra,fields\r\n");
    records::CAcctInfo info;
    EXPECT_TRUE(LoadAccountInfo(path, "  Main  ", info));
    EXPECT_EQ(info, (CAcctInfo{"Main", "CREDIT", "EUR", "444", "", "555"}));
}

TEST_F(AccountList, ShortMatchingLineLeavesTheMissingFieldsEmpty)
{
    List("Short,CHECKING,USD,1,2,3\r\nShort,SAVINGS,GBP\r\nOther,X,Y,Z,W,V\r\n");
    records::CAcctInfo info;
    EXPECT_FALSE(LoadAccountInfo(path, "Short", info));
    EXPECT_EQ(info, (CAcctInfo{"Short", "SAVINGS", "GBP", "", "", ""}));
    EXPECT_EQ(app::LookUpAccount(path, "Short", info), app::AccountLookup::IncompleteLine);
}

TEST_F(AccountList, LookUpFailuresLeaveTheRecordEmpty)
{
    records::CAcctInfo info;
    EXPECT_FALSE(LoadAccountInfo("", "A", info));
    EXPECT_FALSE(LoadAccountInfo(dir.File("missing.dat"), "A", info));
    EXPECT_FALSE(LoadAccountInfo(dir.Path().string(), "A", info));
    EXPECT_TRUE(LoadAccountInfo(List("B,1,2,3,4,5\r\n   \r\n"), "A", info));
    EXPECT_EQ(info.AcctName, "");
    EXPECT_TRUE(LoadAccountInfo(List("   ,1,2,3,4,5\r\n,1,2,3,4,5\r\n"), "   ", info));
    EXPECT_EQ(info, CAcctInfo{}); // a line without a name names no account
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
