// SPDX-License-Identifier: MIT
#include "cli/CommandLineRunner.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qif2ldx::test {
namespace {

const std::string kData = QIF2LDX_TEST_DATA;
const std::string kBank = kData + "/bank.qif";
const std::string kVersion = std::string("qif2ldx ") + QIF2LDX_VERSION + "\n";

struct GuidanceCase
{
    std::vector<std::string> args;
    int status;
    std::string err; // all of stderr
    std::string out; // what stdout holds
};

void PrintTo(const GuidanceCase& c, std::ostream* out)
{
    *out << ::testing::PrintToString(c.args);
}

// Each case runs in a folder holding files named like commands: the command wins.
class Guidance : public ::testing::TestWithParam<GuidanceCase>, protected CommandLineRunner
{
protected:
    Guidance() : before_(std::filesystem::current_path())
    {
        sProgramFolder = kData;
        WriteBytes(dir_.File("convert"), "");
        WriteBytes(dir_.File("show"), "");
        std::filesystem::current_path(dir_.Path());
    }
    ~Guidance() override { std::filesystem::current_path(before_); }
    Guidance(const Guidance&) = delete;
    Guidance& operator=(const Guidance&) = delete;

private:
    TempDir dir_;
    std::filesystem::path before_;
};

// Slips get the option or command meant; each condition has its exit status.
TEST_P(Guidance, SlipsAreNamedWithWhatWasMeant)
{
    const GuidanceCase& c = GetParam();
    EXPECT_EQ(RunCommand(c.args), c.status);
    EXPECT_EQ(err.str(), c.err);
    EXPECT_THAT(out.str(), ::testing::HasSubstr(c.out));
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, Guidance,
    ::testing::Values(
        GuidanceCase{{"convert", kBank, "--dryrun", "-a", "A"},
                     2,
                     "qif2ldx: error: --dryrun: did you mean --dry-run?\n",
                     ""},
        GuidanceCase{{"-V"}, 2, "qif2ldx: error: -V: did you mean --version?\n", ""},
        // A flag takes no value: the slip after it is the next option.
        GuidanceCase{{"convert", kBank, "-a", "A", "--json", "--jsn"},
                     2,
                     "qif2ldx: error: --jsn: did you mean --json?\n",
                     ""},
        GuidanceCase{{"accounts", "--long", "--lng"},
                     2,
                     "qif2ldx: error: --lng: did you mean --long?\n",
                     ""},
        GuidanceCase{{"check", "--json", "--jsn", "x"},
                     2,
                     "qif2ldx: error: --jsn: did you mean --json?\n",
                     ""},
        GuidanceCase{{"convert", kBank, "--acount", "Everyday Current"},
                     2,
                     "qif2ldx: error: --acount: did you mean --account?\n",
                     ""},
        GuidanceCase{{"convert", kBank, "-a", "A", "--frob=1"},
                     2,
                     "qif2ldx: error: unknown option --frob; see qif2ldx convert --help\n",
                     ""},
        // A command's own command takes its own options, and its slips are told against them.
        GuidanceCase{{"history", "forget", "-a", "A", "--al"},
                     2,
                     "qif2ldx: error: --al: did you mean --all?\n",
                     ""},
        GuidanceCase{{"history", "forget", "-a", "A", "--frob"},
                     2,
                     "qif2ldx: error: unknown option --frob; see qif2ldx history forget --help\n",
                     ""},
        GuidanceCase{{"nosuch.qif"},
                     2,
                     "qif2ldx: error: no such file: nosuch.qif (to convert a QIF file: qif2ldx "
                     "convert QIF_FILE --account NAME)\n",
                     ""},
        GuidanceCase{{kData},
                     2,
                     "qif2ldx: error: " + kData +
                         " is a folder, not a QIF file (to convert a QIF file: qif2ldx convert "
                         "QIF_FILE --account NAME)\n",
                     ""},
        GuidanceCase{{"-"},
                     2,
                     "qif2ldx: error: standard input (-) is read by a command: qif2ldx convert - "
                     "--account NAME --output LDX_FILE, or qif2ldx show -\n",
                     ""},
        GuidanceCase{{"convert"},
                     2,
                     "qif2ldx: error: QIF_FILE is required; see qif2ldx convert --help\n",
                     ""},
        GuidanceCase{{"conver", "x"},
                     2,
                     "qif2ldx: error: unknown command 'conver' (did you mean 'convert'?); see "
                     "qif2ldx --help\n",
                     ""},
        GuidanceCase{{kBank, "-a", "A"},
                     2,
                     "qif2ldx: error: " + kBank +
                         " is a file, not a command; to convert it: qif2ldx convert " + kBank +
                         " --account NAME\n",
                     ""},
        GuidanceCase{{kBank}, // a file to open, but no display for the dialog
                     2,
                     "qif2ldx: error: no display to open the dialog on " + kBank +
                         "; to convert it here: qif2ldx convert " + kBank + " --account NAME\n",
                     ""},
        GuidanceCase{{}, 2, "qif2ldx: error: a subcommand is required; see qif2ldx --help\n", ""},
        GuidanceCase{{"convert", "x.qif"},
                     2,
                     "qif2ldx: error: --account is required; see qif2ldx convert --help\n",
                     ""},
        GuidanceCase{{"help", "shwo"},
                     2,
                     "qif2ldx: error: unknown command 'shwo' (did you mean 'show'?); see qif2ldx "
                     "--help\n",
                     ""},
        GuidanceCase{{"help", "convert"}, 0, "", "Usage: qif2ldx convert"},
        GuidanceCase{{"help"}, 0, "", "  qif2ldx show May.qif\n"},
        GuidanceCase{{"--help"}, 0, "", "Examples:\n  qif2ldx convert May.qif"},
        GuidanceCase{{"version"}, 0, "", kVersion}, GuidanceCase{{"--version"}, 0, "", kVersion}));

// The program's footer, with its convert examples, stays with the program's help.
TEST(CommandHelp, ShowsExamplesOfItsOwnOrNone)
{
    CommandLineRunner runner;
    runner.sProgramFolder = kData;
    for (const std::string command : {"show", "check", "accounts", "help", "version"}) {
        EXPECT_EQ(runner.RunCommand({command, "--help"}), 0);
        EXPECT_THAT(runner.out.str(), ::testing::Not(::testing::HasSubstr("qif2ldx convert")))
            << command;
    }
}

} // namespace
} // namespace qif2ldx::test
