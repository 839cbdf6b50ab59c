// SPDX-License-Identifier: MIT
#include "xml/dom/TextRules.h"

#include "xml/dom/DomError.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace qif2ldx::test {
namespace {

struct StoredCase
{
    std::string text;
    std::string stored;
};

void PrintTo(const StoredCase& storedCase, std::ostream* out)
{
    *out << ::testing::PrintToString(storedCase.text);
}

class StoredTextRules : public ::testing::TestWithParam<StoredCase>
{};

// Texts are looked at eight bytes at a time, shorter ones as a whole: a character that XML
// cannot hold must be found at any place, in texts of every length.
TEST_P(StoredTextRules, CharactersXmlCannotHoldBecomeSpaces)
{
    std::string storage;
    EXPECT_EQ(xml::StoredText(GetParam().text, storage), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredTextRules,
    ::testing::Values(StoredCase{"", ""}, StoredCase{"DEBIT", "DEBIT"}, StoredCase{"\x01", " "},
                      StoredCase{"abcdef\x1F", "abcdef "}, StoredCase{"a\tb\nc\rd", "a\tb\nc\rd"},
                      StoredCase{"\x7F~ !", "\x7F~ !"}, StoredCase{"12345678\x02", "12345678 "},
                      StoredCase{"1234567\x03"
                                 "9",
                                 "1234567 9"},
                      StoredCase{"caf\xC3\xA9", "caf\xC3\xA9"},
                      StoredCase{"Riverside Garage \xEF\xBF\xBE!", "Riverside Garage  !"},
                      StoredCase{std::string("a\0b", 3), "a b"}));

TEST(StoredText, TextThatIsNotUtf8IsRefused)
{
    std::string storage;
    for (const char* text : {"\xC3", "abcdefgh\xFF", "\xE2\x82"}) {
        EXPECT_THROW(static_cast<void>(xml::StoredText(text, storage)), xml::DomError) << text;
    }
}

} // namespace
} // namespace qif2ldx::test
