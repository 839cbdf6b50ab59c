// SPDX-License-Identifier: MIT
#include "qif/QIFDate.h"

#include <gtest/gtest.h>

namespace qif2ldx::test {
namespace {

using qif::IsEarlierDate;
using qif::NormaliseQIFDate;
using qif::QIFError;

struct DateCase
{
    const char* line;
    const char* expected;
};

class QIFDateNormalisation : public ::testing::TestWithParam<DateCase>
{};

TEST_P(QIFDateNormalisation, DayFirstBecomesYearMonthDay)
{
    EXPECT_EQ(NormaliseQIFDate(GetParam().line), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, QIFDateNormalisation,
    ::testing::Values(DateCase{"D15/03/2003", "20030315"}, DateCase{"D5/3/03", "20030305"},
                      DateCase{"D1/12/99", "19991201"}, DateCase{"D25/12/69", "20691225"},
                      DateCase{"D25/12/70", "19701225"}, DateCase{"D15/3/2003", "20030315"},
                      DateCase{"D15/03/2003\t", "20030315"},
                      DateCase{"  D15/03/2003  ", "20030315"},
                      DateCase{"D 15/03/2003", "200303 15"}, DateCase{"D15/03", "20030315"},
                      DateCase{"D1/1/2026/x", "x0101"}, DateCase{"D1/1/  ", "0101"},
                      DateCase{"D12/25/2003", "20032512"}));

TEST(QIFDate, DatesThatCannotBeReadFail)
{
    for (const char* line : {"D15032003", "D", "D\t", "D15/03/ab", "D1/1/x5", "D1/1/5-"}) {
        EXPECT_THROW(static_cast<void>(NormaliseQIFDate(line)), QIFError) << line;
    }
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

TEST(QIFDate, ComparisonReadsEveryPartOfBothDates)
{
    EXPECT_TRUE(IsEarlierDate("20030115", "20030201"));
    EXPECT_FALSE(IsEarlierDate("20030201", "20030201"));
    EXPECT_TRUE(IsEarlierDate("19991231", "20000101"));
    EXPECT_TRUE(IsEarlierDate("200303 5", "20030306"));
    // The years already decide, yet the month that is not a number fails the comparison.
    EXPECT_THROW(static_cast<void>(IsEarlierDate("2003xx15", "20040101")), QIFError);
    EXPECT_THROW(static_cast<void>(IsEarlierDate("20040101", "200")), QIFError);
}

} // namespace
} // namespace qif2ldx::test
