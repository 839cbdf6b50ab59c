// SPDX-License-Identifier: MIT
#include "platform/LocaleDates.h"

#include "support/FixedEnvironment.h"

#include <gtest/gtest.h>

namespace qif2ldx::test {
namespace {

struct LocaleCase
{
    std::string sLocale;
    bool bolMonthFirst;
};

void PrintTo(const LocaleCase& c, std::ostream* out)
{
    *out << ::testing::PrintToString(c.sLocale);
}

class LocaleDates : public ::testing::TestWithParam<LocaleCase>
{};

// Known whether or not the system has the locale installed.
TEST_P(LocaleDates, MonthFirstOnlyWhereTheLocaleWritesTheMonthFirst)
{
    EXPECT_EQ(platform::WritesMonthFirst(GetParam().sLocale), GetParam().bolMonthFirst);
}

INSTANTIATE_TEST_SUITE_P(Locales, LocaleDates,
                         ::testing::Values(LocaleCase{"en_US.UTF-8", true},
                                           LocaleCase{"en_US", true},
                                           LocaleCase{"fil_PH.UTF-8", true},
                                           LocaleCase{"en_GB.UTF-8", false},
                                           LocaleCase{"de_DE.UTF-8@euro", false},
                                           LocaleCase{"ja_JP.UTF-8", false}, LocaleCase{"C", false},
                                           LocaleCase{"C.UTF-8", false}, LocaleCase{"POSIX", false},
                                           LocaleCase{"", false}, LocaleCase{"xx_NOWHERE", false}));

TEST(LocaleDates, TheLocaleIsLcAllThenLcTimeThenLang)
{
    FixedEnvironment environment;
    EXPECT_EQ(platform::TimeLocaleName(environment), "");
    environment.variables = {{"LANG", "en_GB.UTF-8"}, {"LC_TIME", ""}};
    EXPECT_EQ(platform::TimeLocaleName(environment), "en_GB.UTF-8");
    environment.variables["LC_TIME"] = "en_US.UTF-8";
    EXPECT_EQ(platform::TimeLocaleName(environment), "en_US.UTF-8");
    environment.variables["LC_ALL"] = "C";
    EXPECT_EQ(platform::TimeLocaleName(environment), "C");
}

} // namespace
} // namespace qif2ldx::test
