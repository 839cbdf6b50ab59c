// SPDX-License-Identifier: MIT
#include "qif/DatePlan.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace qif2ldx::qif {
namespace {

constexpr std::array<DateOrder, 3> kAllOrders = {DateOrder::DayFirst, DateOrder::MonthFirst,
                                                 DateOrder::YearFirst};

std::string Quoted(std::string_view sLine)
{
    return "\"" + std::string(sLine) + "\"";
}

std::string LinePrefix(std::int64_t line)
{
    return "line " + std::to_string(line) + ": ";
}

} // namespace

std::string NotInOrder(std::string_view sLine, DateOrder order)
{
    std::string name = DateOrderName(order);
    std::replace(name.begin(), name.end(), ' ', '-');
    return Quoted(sLine) + " is not a " + name + " date";
}

std::optional<DateOrder> OptionDateOrder(std::string_view sLine)
{
    std::string text;
    for (const char c : sLine) {
        text.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.pop_back();
    }
    if (text == "!OPTION:DMY") {
        return DateOrder::DayFirst;
    }
    if (text == "!OPTION:MDY") {
        return DateOrder::MonthFirst;
    }
    if (text == "!OPTION:YMD") {
        return DateOrder::YearFirst;
    }
    return std::nullopt;
}

void DateSurvey::Note(const std::string& sText, std::int64_t line, std::string_view sLine,
                      std::optional<DateOrder> option)
{
    bolAllDayFirst_ = bolAllDayFirst_ && ReadDate(sText, DateOrder::DayFirst).has_value();
    if (option) {
        if (!optionMiss_ && !ReadDate(sText, *option)) {
            optionMiss_ = Miss{line, std::string(sLine), sText};
            missedOption_ = option;
        }
        return;
    }
    bool readable = false;
    for (std::size_t k = 0; k < kAllOrders.size(); ++k) {
        const std::optional<std::string> date = ReadDate(sText, kAllOrders[k]);
        readable = readable || date.has_value();
        if (!date && !misses_[k]) {
            misses_[k] = Miss{line, std::string(sLine), sText};
        }
    }
    if (!readable && !unreadable_) {
        unreadable_ = Miss{line, std::string(sLine), sText};
    }
}

DateDecision DateSurvey::Decide() const
{
    DateDecision decision;
    if (misses_[0]) {
        decision.sDayFirstFailure =
            LinePrefix(misses_[0]->line) + NotInOrder(misses_[0]->sLine, DateOrder::DayFirst);
    }
    if (bolAllDayFirst_) {
        return decision;
    }
    if (optionMiss_) {
        decision.bolFits = false;
        decision.sFailure = LinePrefix(optionMiss_->line) +
                            NotInOrder(optionMiss_->sLine, *missedOption_) +
                            ", as an \"!Option:\" line before it says the dates are";
        return decision;
    }
    for (std::size_t k = 0; k < kAllOrders.size(); ++k) {
        if (!misses_[k]) {
            decision.order = kAllOrders[k];
            if (k > 0) {
                decision.line = misses_[0]->line;
                decision.sLine = misses_[0]->sLine;
                decision.sDate = ReadDate(misses_[0]->sText, kAllOrders[k]).value_or("");
            }
            return decision;
        }
    }
    decision.bolFits = false;
    if (unreadable_) {
        decision.sFailure = LinePrefix(unreadable_->line) + Quoted(unreadable_->sLine) +
                            " is no real day, read day first, month first or year first";
    } else {
        decision.sFailure = LinePrefix(misses_[0]->line) + Quoted(misses_[0]->sLine) +
                            " is no real day read day first, and no other date order reads "
                            "every date of the file";
    }
    return decision;
}

DatePlan DatePlan::AssumeDayFirst()
{
    return {Kind::Assumed, DateOrder::DayFirst};
}

DatePlan DatePlan::Forced(DateOrder order)
{
    return {Kind::Forced, order};
}

DatePlan DatePlan::Decided(const DateDecision& decision)
{
    return {Kind::Decided, decision.order};
}

DatePlan DatePlan::Surveying(DateSurvey& objSurvey)
{
    return {Kind::Surveying, DateOrder::DayFirst, &objSurvey};
}

std::string DatePlan::Read(const std::string& sText, std::int64_t line, std::string_view sLine,
                           std::optional<DateOrder> option) const
{
    if (kind_ == Kind::Surveying) {
        objSurvey_->Note(sText, line, sLine, option);
        return {};
    }
    const DateOrder order = kind_ == Kind::Decided && option ? *option : order_;
    std::optional<std::string> date = ReadDate(sText, order);
    if (date) {
        return std::move(*date);
    }
    if (kind_ == Kind::Assumed) {
        throw DayFirstMiss(NotInOrder(sLine, order));
    }
    throw QIFError(NotInOrder(sLine, order));
}

} // namespace qif2ldx::qif
