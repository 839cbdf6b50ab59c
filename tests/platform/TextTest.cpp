// SPDX-License-Identifier: MIT
#include "platform/Utf8.h"
#include "platform/Windows1252.h"

#include <gtest/gtest.h>

namespace qif2ldx::test {
namespace {

using namespace qif2ldx::platform;

TEST(Windows1252, EveryByteRoundTripsThroughUtf8)
{
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        all.push_back(static_cast<char>(byte));
    }
    const std::string text = AnsiToUtf8(all);
    EXPECT_TRUE(IsValidUtf8(text));
    EXPECT_EQ(Utf8Length(text), 256U);
    EXPECT_EQ(Utf8ToAnsi(text), all);
    EXPECT_EQ(AnsiToUtf8("\x80\xE9\x81"), "\xE2\x82\xAC\xC3\xA9\xC2\x81");
    EXPECT_EQ(Utf8ToAnsi("\xE4\xB8\xAD|\xFF|\xC3"), "?|?|?");
}

TEST(Utf8, CountsAndCutsByCharacter)
{
    const std::string accented = "\xC3\xA9\xC3\xA8\xE2\x82\xAC"; // three characters
    EXPECT_EQ(Utf8Length(accented), 3U);
    EXPECT_EQ(Utf8Left(accented, 2), "\xC3\xA9\xC3\xA8");
    EXPECT_EQ(Utf8Right(accented, 1), "\xE2\x82\xAC");
    EXPECT_EQ(Utf8Right(accented, 5), accented);
    EXPECT_EQ(Utf8Left("abc", 0), "");
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80")); // a surrogate
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));     // overlong
    EXPECT_EQ(Utf8Length("\xFF\xFE"), 2U);
}

struct ShownCase
{
    std::string sName, sShown;
};

void PrintTo(const ShownCase& c, std::ostream* out)
{
    *out << ::testing::PrintToString(c.sName);
}

class ShownName : public ::testing::TestWithParam<ShownCase>
{};

TEST_P(ShownName, ControlsAreEscaped)
{
    EXPECT_EQ(EscapeControls(GetParam().sName), GetParam().sShown);
}

INSTANTIATE_TEST_SUITE_P(Names, ShownName,
                         ::testing::Values(ShownCase{"May.qif", "May.qif"},
                                           ShownCase{"Caf\xC3\xA9 \xE2\x82\xAC.qif",
                                                     "Caf\xC3\xA9 \xE2\x82\xAC.qif"}, // UTF-8 stays
                                           ShownCase{"a\nb\tc\rd", "a\\nb\\tc\\rd"},
                                           ShownCase{"\x1b[31mred", "\\x1b[31mred"},
                                           ShownCase{"back\\slash", "back\\\\slash"},
                                           ShownCase{"\xC2\x9B"
                                                     "2J\x7F",
                                                     "\\xc2\\x9b2J\\x7f"}, // a C1 control, DEL
                                           ShownCase{"latin\xE9", "latin\\xe9"})); // no UTF-8

TEST(Utf8, ExcerptsAreCutAndEscaped)
{
    EXPECT_EQ(Excerpt(std::string(100, 'x') + "\x1b"), std::string(59, 'x') + "\u2026");
}

} // namespace
} // namespace qif2ldx::test
