// SPDX-License-Identifier: MIT
#include "ConversionFixture.h"

namespace qif2ldx::test {
namespace {

using qif::DateOrder;
using qif::DateSource;

// A set of dates, how the file was read, and what else would have read it.
struct DatesCase
{
    const char* what;
    std::string text;
    std::optional<DateOrder> given; // --date-order
    DateOrder order;
    DateSource source;
    std::vector<DateOrder> others; // empty: the file reads one way only
    std::int64_t line;             // the line that decided (0: none)
};

void PrintTo(const DatesCase& c, std::ostream* out)
{
    *out << c.what;
}

class DateDecisions : public ConversionFixture, public ::testing::WithParamInterface<DatesCase>
{};

TEST_P(DateDecisions, OrderSourceAndOtherReadings)
{
    const DatesCase& c = GetParam();
    options.dateOrder = c.given;
    ASSERT_TRUE(Convert(c.text)) << failure.sReason;
    EXPECT_EQ(report.dates.order, c.order);
    EXPECT_EQ(report.dates.source, c.source);
    EXPECT_EQ(report.dates.otherOrders, c.others);
    EXPECT_EQ(report.dates.bolAmbiguous, !c.others.empty());
    EXPECT_EQ(report.dates.line, c.line);
}

std::string Dates(std::initializer_list<const char*> dates, const std::string& head = "")
{
    std::string text = head;
    for (const char* date : dates) {
        text += std::string("D") + date + "\nT1\n^\n";
    }
    return text;
}

const DatesCase kDateCases[] = {
    {"a US card statement of early December",
     Dates({"12/01/2026", "12/08/2026"}),
     std::nullopt,
     DateOrder::DayFirst,
     DateSource::File,
     {DateOrder::MonthFirst},
     0},
    {"a day above 12 says day first",
     Dates({"12/01/2026", "13/01/2026"}),
     std::nullopt,
     DateOrder::DayFirst,
     DateSource::File,
     {},
     0},
    {"day equal to month reads the same every way",
     Dates({"01/01/2026", "12/12/2026"}),
     std::nullopt,
     DateOrder::DayFirst,
     DateSource::File,
     {},
     0},
    {"month first because day first cannot",
     Dates({"01/02/2026", "12/25/2026"}),
     std::nullopt,
     DateOrder::MonthFirst,
     DateSource::File,
     {},
     4},
    {"two-digit years read year first too",
     Dates({"06-06-19"}),
     std::nullopt,
     DateOrder::DayFirst,
     DateSource::File,
     {DateOrder::YearFirst},
     0},
    // A four-digit first part can only be a year: it reads one way and decides nothing.
    {"a year first in a month-first file",
     Dates({"2024-01-25", "01/02/2026", "12/25/2026"}),
     std::nullopt,
     DateOrder::MonthFirst,
     DateSource::File,
     {},
     7},
    {"a year first beside day first",
     Dates({"2024'01'02", "15/12/2024"}),
     std::nullopt,
     DateOrder::DayFirst,
     DateSource::File,
     {},
     0},
    {"an option line is the file's own word",
     Dates({"01/02/2026", "03/04/2026"}, "!Option:MDY\n"),
     std::nullopt,
     DateOrder::MonthFirst,
     DateSource::Option,
     {DateOrder::DayFirst},
     1},
    {"an order given reads every date",
     Dates({"01/02/2026"}, "!Option:MDY\n"),
     DateOrder::DayFirst,
     DateOrder::DayFirst,
     DateSource::CommandLine,
     {DateOrder::MonthFirst},
     0},
};

INSTANTIATE_TEST_SUITE_P(Files, DateDecisions, ::testing::ValuesIn(kDateCases),
                         [](const auto& param) { return std::to_string(param.index); });

// A record's lines after its date, how the file is read, and the payee that comes out.
struct TextCase
{
    const char* what;
    std::string lines;
    qif::TextEncoding encoding;
    std::string payee;                // as the statement holds it, Windows-1252
    std::int64_t windows1252Line = 0; // the first line read as Windows-1252 in a UTF-8 file
};

void PrintTo(const TextCase& c, std::ostream* out)
{
    *out << c.what;
}

class TextEncodings : public ConversionFixture, public ::testing::WithParamInterface<TextCase>
{};

TEST_P(TextEncodings, EachFileReadsItsOwnWay)
{
    const TextCase& c = GetParam();
    ASSERT_TRUE(Convert("D13/01/2026\n" + c.lines + "\n^\n"));
    EXPECT_EQ(report.encoding, c.encoding);
    EXPECT_EQ(Matches("<NAME>(.*?)</NAME>"), std::vector<std::string>{c.payee});
    EXPECT_EQ(report.windows1252Line, c.windows1252Line);
    EXPECT_TRUE(report.amounts.NotNumbers().empty()); // a no-break space in an amount is a blank
}

const TextCase kTextCases[] = {
    {"ASCII", "T-3 000,00\nPCafe", qif::TextEncoding::Windows1252, "Cafe"},
    {"UTF-8 without a mark",
     "T-3\xC2\xA0"
     "000,00\nPCaf\xC3\xA9 Lumi\xC3\xA8re",
     qif::TextEncoding::Utf8Unmarked, "Caf\xE9 Lumi\xE8re"},
    {"a narrow no-break space",
     "T-3\xE2\x80\xAF"
     "000,00\nPCafe",
     qif::TextEncoding::Utf8Unmarked, "Cafe"},
    {"Windows-1252",
     "T-3\xA0"
     "000,00\nPCaf\xE9",
     qif::TextEncoding::Windows1252, "Caf\xE9"},
    // One stray byte no longer turns every accented payee into "CafÃ©".
    {"UTF-8 but for a stray byte", "T-3\nPCaf\xC3\xA9 Lumi\xC3\xA8re\nMd\xE9j\xE0 vu",
     qif::TextEncoding::Utf8Mixed, "Caf\xE9 Lumi\xE8re", 4},
    {"Windows-1252 with a pair that looks like UTF-8", "T-3\nPCaf\xE9\nM\xC3\xA9t\xE9",
     qif::TextEncoding::Windows1252, "Caf\xE9"},
};

INSTANTIATE_TEST_SUITE_P(Files, TextEncodings, ::testing::ValuesIn(kTextCases),
                         [](const auto& param) { return std::to_string(param.index); });

TEST_F(ConversionFixture, InvestmentRecordsAreLeftOutAsSuch)
{
    ASSERT_TRUE(Convert("!Type:Bank\nD13/01/2026\nT-5\n^\n!Type:Invst\nD14/01/2026\nNBuy\nYACME\n"
                        "I10\nQ2\nT20\n^\nD15/01/2026\nNDiv\nT3\n^\n"));
    EXPECT_EQ(report.written, 1);
    ASSERT_EQ(report.leftOut.size(), 2U);
    EXPECT_EQ(report.leftOut[0].reason, qif::LeftOutReason::Investment);
    EXPECT_EQ(report.leftOut[0].line, 6);
    EXPECT_EQ(report.leftOut[1].sSection, "!Type:Invst");
}

} // namespace
} // namespace qif2ldx::test
