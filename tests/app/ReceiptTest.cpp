// SPDX-License-Identifier: MIT
#include "app/Receipt.h"

#include "app/MainModule.h"
#include "app/Suggest.h"
#include "support/FixedEnvironment.h"

#include <gtest/gtest.h>

namespace qif2ldx::test {
namespace {

struct PeriodCase
{
    std::string sStart, sEnd, expected;
};

void PrintTo(const PeriodCase& c, std::ostream* out)
{
    *out << c.sStart << "-" << c.sEnd;
}

class PeriodText : public ::testing::TestWithParam<PeriodCase>
{};

// Dates as a locale shows them, "1 Dec 2026": what both days share is said once.
TEST_P(PeriodText, SaysWhatBothDaysShareOnce)
{
    const app::DateShower words = [](std::string_view sDate) {
        static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        const std::string sIso = app::IsoDate(sDate);
        return std::to_string(std::stoi(sIso.substr(8))) + " " +
               months[std::stoi(sIso.substr(5, 2)) - 1] + " " + sIso.substr(0, 4);
    };
    EXPECT_EQ(app::PeriodText(GetParam().sStart, GetParam().sEnd, words), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Periods, PeriodText,
    ::testing::Values(PeriodCase{"20260112", "20260812", "12 Jan \u2013 12 Aug 2026"},
                      PeriodCase{"20261201", "20261208", "1 \u2013 8 Dec 2026"},
                      PeriodCase{"20261201", "20261211", "1 \u2013 11 Dec 2026"},
                      PeriodCase{"20251230", "20260102", "30 Dec 2025 \u2013 2 Jan 2026"},
                      PeriodCase{"20260501", "20260501", "1 May 2026"}));

TEST(PeriodText, IsoDatesStayWhole)
{
    EXPECT_EQ(app::PeriodText("20261201", "20261208", app::IsoDate),
              "2026-12-01 \u2013 2026-12-08");
}

TEST(ClosestMatches, OneNameOnlyWhenItAloneIsClosest)
{
    const std::vector<std::string> names = {"Rainy Day Savings", "Rainy Day Saver",
                                            "Everyday Current", "Everyday Current"};
    EXPECT_EQ(app::ClosestMatches(names, "everyday current"),
              std::vector<std::string>{"Everyday Current"});
    EXPECT_EQ(app::ClosestMatches(names, "Rainy Day Savin"),
              (std::vector<std::string>{"Rainy Day Savings", "Rainy Day Saver"}));
    EXPECT_EQ(app::ClosestMatches(names, "Pension"), std::vector<std::string>{});
}

TEST(ExpandHome, OnlyALeadingTildeSlashIsTheHomeFolder)
{
    FixedEnvironment environment;
    environment.variables = {{"HOME", "/home/you/"}};
    EXPECT_EQ(app::ExpandHome("  ~/May.qif ", environment), "/home/you/May.qif");
    EXPECT_EQ(app::ExpandHome("~other/May.qif", environment), "~other/May.qif");
    EXPECT_EQ(app::ExpandHome("/tmp/~/May.qif", environment), "/tmp/~/May.qif");
    environment.variables.clear();
    EXPECT_EQ(app::ExpandHome("~/May.qif", environment), "~/May.qif");
}

} // namespace
} // namespace qif2ldx::test
