// SPDX-License-Identifier: MIT
#include "qif/QIFDate.h"

#include <gtest/gtest.h>
#include <string>

namespace qif2ldx::test {
namespace {

using qif::DateOrder;

// A "D" line and what it reads as day, month and year first; empty: no real day that way.
struct DateCase
{
    const char* line;
    const char* dayFirst;
    const char* monthFirst;
    const char* yearFirst;
};

class QIFDateReading : public ::testing::TestWithParam<DateCase>
{};

TEST_P(QIFDateReading, EachOrderReadsItsOwnWay)
{
    const DateCase& c = GetParam();
    const std::string text = qif::DateText(c.line);
    EXPECT_EQ(qif::ReadDate(text, DateOrder::DayFirst).value_or(""), c.dayFirst) << c.line;
    EXPECT_EQ(qif::ReadDate(text, DateOrder::MonthFirst).value_or(""), c.monthFirst) << c.line;
    EXPECT_EQ(qif::ReadDate(text, DateOrder::YearFirst).value_or(""), c.yearFirst) << c.line;
}

INSTANTIATE_TEST_SUITE_P(
    DayFirstExamplesAndRealFiles, QIFDateReading,
    ::testing::Values(
        // Day first as the reader always read it, tab and surrounding blanks included.
        DateCase{"D15/03/2003", "20030315", "", ""},
        DateCase{"D5/3/03", "20030305", "20030503", ""},
        DateCase{"D1/12/99", "19991201", "19990112", ""}, DateCase{"D25/12/69", "20691225", "", ""},
        DateCase{"D25/12/70", "19701225", "", ""}, DateCase{"D15/3/2003", "20030315", "", ""},
        DateCase{"D15/03/2003\t", "20030315", "", ""},
        DateCase{"  D15/03/2003  ", "20030315", "", ""},
        // A day and a month name no year: no date at all.
        DateCase{"D15/03", "", "", ""},
        // Blanks anywhere, Quicken's apostrophe, dots, dashes, ISO and eight digits.
        DateCase{"D 15/03/2003", "20030315", "", ""},
        DateCase{"D 6/ 1/94", "19940106", "19940601", ""},
        DateCase{"D1/5'23", "20230501", "20230105", ""}, DateCase{"D12/21' 7", "", "20071221", ""},
        DateCase{"D2/10'2020", "20201002", "20200210", ""},
        DateCase{"D1/ 1'01", "20010101", "20010101", ""},
        DateCase{"D22.01.2007", "20070122", "", ""},
        DateCase{"D1.12.08", "20081201", "20080112", ""},
        DateCase{"D06-06-19", "20190606", "20190606", "20060619"},
        DateCase{"D2019-03-31", "", "", "20190331"}, DateCase{"D2007/01/22", "", "", "20070122"},
        DateCase{"D20070122", "20070122", "20070122", "20070122"},
        DateCase{"D13/3/3", "", "", "20130303"}, DateCase{"D03/24/2015", "", "20150324", ""},
        // Apostrophes alone between the parts, the last still before the year.
        DateCase{"D2024'01'02", "", "", "20240102"},
        DateCase{"D5'1'23", "20230105", "20230501", ""}, DateCase{"D8/28/2008", "", "20080828", ""},
        DateCase{"D10.18.23", "", "20231018", ""},
        // No real day in any order.
        DateCase{"D31/02/2020", "", "", ""}, DateCase{"D01052026", "", "", ""},
        DateCase{"D1/1/ab", "", "", ""}, DateCase{"D1/1/2026/x", "", "", ""}));

// English month names, day before or after, in any case, with or without a comma.
TEST(QIFDate, NamedMonthsReadOneWayInEveryOrder)
{
    const std::pair<const char*, std::uint32_t> cases[] = {{"D02 Dec 2024", 20241202},
                                                           {"D2-Dec-2024", 20241202},
                                                           {"D02-DEC-24", 20241202},
                                                           {"DDec 2, 2024", 20241202},
                                                           {"D2 december 2024", 20241202},
                                                           {"DSep/30/1999", 19990930},
                                                           {"D31 Feb 2024", 0},
                                                           {"D02 Dex 2024", 0},
                                                           {"DDec, 2 2024", 0},
                                                           {"D02/12/2024", 0},
                                                           {"DDec 2024", 0}};
    for (const auto& [line, day] : cases) {
        EXPECT_EQ(qif::ReadNamedMonthDate(line), day) << line;
    }
}

TEST(QIFDate, LinesWithoutADigitAreNoDates)
{
    for (const char* line : {"DSome Rubbish That ain't a date at all", "D", "D\t", "D /  /"}) {
        EXPECT_FALSE(qif::HasDigit(qif::DateText(line))) << line;
    }
    EXPECT_EQ(qif::DescribeDate("20150324"), "24 March 2015");
}

TEST(QIFDate, CalendarDatesAreEightDigitsNamingARealDay)
{
    for (const char* good : {"20030315", "20240229", "20000229", "00010101", "99991231"}) {
        EXPECT_TRUE(qif::IsCalendarDate(good)) << good;
    }
    for (const char* bad : {"20152802", "20230229", "19000229", "20031301", "20030100", "20030431",
                            "200303 15", "2022012007", "0101", "", "00000101", "2003031a"}) {
        EXPECT_FALSE(qif::IsCalendarDate(bad)) << bad;
    }
}

} // namespace
} // namespace qif2ldx::test
