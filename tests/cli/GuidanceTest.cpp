// SPDX-License-Identifier: MIT
#include "cli/CommandLineRunner.h"

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

class Guidance : public ::testing::TestWithParam<GuidanceCase>, protected CommandLineRunner
{
protected:
    Guidance() { sProgramFolder = kData; }
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
        GuidanceCase{{"convert", kBank, "--acount", "Everyday Current"},
                     2,
                     "qif2ldx: error: --acount: did you mean --account?\n",
                     ""},
        GuidanceCase{{"convert", kBank, "-a", "A", "--frob=1"},
                     2,
                     "qif2ldx: error: unknown option --frob; see qif2ldx convert --help\n",
                     ""},
        GuidanceCase{{"nosuch.qif"},
                     2,
                     "qif2ldx: error: no such file: nosuch.qif (to convert a QIF file: qif2ldx "
                     "convert QIF_FILE --account NAME)\n",
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

} // namespace
} // namespace qif2ldx::test
