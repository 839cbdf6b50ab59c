// SPDX-License-Identifier: MIT
#include "app/Suggest.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace qif2ldx::test {
namespace {

struct SuggestCase
{
    std::string sTyped;
    std::optional<std::string> expected;
};

class ClosestMatch : public ::testing::TestWithParam<SuggestCase>
{};

TEST_P(ClosestMatch, SuggestsSlipsThenNamesBeginningWithOrHoldingWhatWasTyped)
{
    const std::vector<std::string> names = {"Everyday Current", "Rainy Day Savings",
                                            "Rainy Day Saver Plus", "Travel Visa"};
    EXPECT_EQ(app::ClosestMatch(names, GetParam().sTyped), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Names, ClosestMatch,
                         ::testing::Values(SuggestCase{"Everyday Curent", "Everyday Current"},
                                           SuggestCase{"everyday current", "Everyday Current"},
                                           SuggestCase{"Rainy Day", "Rainy Day Savings"},
                                           SuggestCase{"rainy", "Rainy Day Savings"},
                                           SuggestCase{"Visa", "Travel Visa"},
                                           SuggestCase{"Vi", std::nullopt},
                                           SuggestCase{"Pension", std::nullopt},
                                           SuggestCase{"Travel Visa", std::nullopt}));

} // namespace
} // namespace qif2ldx::test
