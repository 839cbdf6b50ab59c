// SPDX-License-Identifier: MIT
#include "qif/DatePlan.h"

#include "platform/Windows1252.h"

#include <algorithm>

namespace qif2ldx::qif {
namespace {

std::string Quoted(std::string_view sLine)
{
    return "\"" + std::string(sLine) + "\"";
}

} // namespace

std::string NotInOrder(std::string_view sLine, DateOrder order)
{
    std::string name = DateOrderName(order);
    std::replace(name.begin(), name.end(), ' ', '-');
    return Quoted(sLine) + " is not a " + name + " date";
}

DateSurvey::Miss DateSurvey::MissOf(const DateLine& date) const
{
    return {date.line, platform::DecodeFileText(date.sLine, bolUtf8_), date.sText};
}

void DateSurvey::Note(const DateLine& date)
{
    // Files list many transactions of one day together: a date as the one before adds nothing.
    if (date.sText == sLastText_ && date.option == lastOption_) {
        return;
    }
    sLastText_ = date.sText;
    lastOption_ = date.option;
    // Each order is read only while it can still decide something: an order that has missed a
    // date already is read again only to find the first date that no order reads.
    DateReading reading(date.sText);
    const auto reads = [&reading](DateOrder order) { return reading.In(order) != 0; };
    if (bolAllDayFirst_ && !reads(DateOrder::DayFirst)) {
        bolAllDayFirst_ = false;
    }
    if (date.option) {
        if (!optionMiss_ && !reads(*date.option)) {
            optionMiss_ = MissOf(date);
            missedOption_ = date.option;
        }
        return;
    }
    bool readable = false;
    for (const DateOrder order : kDateOrders) {
        auto& miss = misses_[static_cast<std::size_t>(order)];
        if (!miss) {
            if (reads(order)) {
                readable = true;
            } else {
                miss = MissOf(date);
            }
        }
    }
    if (!readable && !unreadable_ &&
        std::none_of(std::begin(kDateOrders), std::end(kDateOrders), reads)) {
        unreadable_ = MissOf(date);
    }
}

DateDecision DateSurvey::Decide() const
{
    DateDecision decision;
    decision.bolAllDayFirst = bolAllDayFirst_;
    if (const auto& miss = misses_[0]) {
        decision.dayFirstFailure = {miss->line, NotInOrder(miss->sLine, DateOrder::DayFirst)};
    }
    if (bolAllDayFirst_) {
        return decision;
    }
    if (optionMiss_) {
        decision.bolFits = false;
        decision.failure = {optionMiss_->line,
                            NotInOrder(optionMiss_->sLine, *missedOption_) +
                                ", as an \"!Option:\" line before it says the dates are"};
        return decision;
    }
    for (const DateOrder order : kDateOrders) {
        if (misses_[static_cast<std::size_t>(order)]) {
            continue;
        }
        decision.order = order;
        if (order != DateOrder::DayFirst) {
            decision.line = misses_[0]->line;
            decision.sLine = misses_[0]->sLine;
            decision.sDate = ReadDate(misses_[0]->sText, order).value_or("");
        }
        return decision;
    }
    decision.bolFits = false;
    if (unreadable_) {
        decision.failure = {unreadable_->line,
                            Quoted(unreadable_->sLine) +
                                " is no real day, read day first, month first or year first"};
    } else {
        decision.failure = {misses_[0]->line,
                            Quoted(misses_[0]->sLine) +
                                " is no real day read day first, and no other date order reads "
                                "every date of the file"};
    }
    return decision;
}

} // namespace qif2ldx::qif
