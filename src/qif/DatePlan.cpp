// SPDX-License-Identifier: MIT
#include "qif/DatePlan.h"

#include "platform/Utf8.h"
#include "platform/Windows1252.h"

#include <algorithm>

namespace qif2ldx::qif {
namespace {

// A line quoted in a message, cut to a length a message can hold.
std::string Quoted(std::string_view sLine)
{
    return "\"" + platform::Excerpt(sLine) + "\"";
}

std::size_t Index(DateOrder order)
{
    return static_cast<std::size_t>(order);
}

} // namespace

const char* DateSourceName(DateSource source)
{
    switch (source) {
    case DateSource::File:
        return "file";
    case DateSource::Option:
        return "option";
    case DateSource::Account:
        return "account";
    case DateSource::CommandLine:
        return "command line";
    case DateSource::Asked:
        return "asked";
    case DateSource::Locale:
        return "locale";
    }
    return "";
}

std::string NotInOrder(std::string_view sLine, DateOrder order)
{
    if (NamesNoYear(DateText(sLine))) {
        return Quoted(sLine) + " has no year";
    }
    std::string name = DateOrderName(order);
    std::replace(name.begin(), name.end(), ' ', '-');
    return Quoted(sLine) + " is not a " + name + " date";
}

DateSurvey::Miss DateSurvey::MissOf(const DateLine& date) const
{
    return {date.line, platform::Excerpt(platform::DecodeFileText(date.sLine, bolUtf8_)),
            date.sText};
}

DateExample DateSurvey::ExampleOf(const DateLine& date, const Days& days) const
{
    return {date.line, platform::Excerpt(platform::DecodeFileText(date.sLine, bolUtf8_)), days};
}

void DateSurvey::Note(const DateLine& date)
{
    if (date.fixedDay != 0) {
        for (const DateOrder order : kDateOrders) {
            Span(recordSpans_, order, date.fixedDay);
            Span(recordWholeSpans_, order, date.fixedDay);
        }
        return; // a named month or a year first reads one way in every order: it decides nothing
    }
    // Files list many transactions of one day together: a date as the one before adds nothing.
    const std::optional<std::int64_t> optionLine =
        date.option ? std::optional<std::int64_t>(date.option->line) : std::nullopt;
    if (date.sText == sLastText_ && optionLine == lastOptionLine_) {
        return;
    }
    sLastText_ = date.sText;
    lastOptionLine_ = optionLine;
    // An order is read only while it can still decide something: once it has missed a date it
    // reads no file whole, and is read again only where the date's own order needs it.
    DateReading reading(date.sText);
    Days days{};
    for (const DateOrder order : kDateOrders) {
        if (readsAll_.at(Index(order))) {
            days.at(Index(order)) = reading.In(order);
            readsAll_.at(Index(order)) = days.at(Index(order)) != 0;
            Span(recordWholeSpans_, order, days.at(Index(order)));
        }
    }
    if (!date.option || given_) {
        NoteUnmarked(date, reading, days);
        for (const DateOrder order : kDateOrders) {
            Span(recordSpans_, order, days.at(Index(order)));
        }
        return;
    }
    const DateOrder option = date.option->order;
    if (!firstOption_) {
        firstOption_ = date.option;
    }
    days.at(Index(option)) = reading.In(option);
    if (!optionMiss_ && days.at(Index(option)) == 0) {
        optionMiss_ = MissOf(date);
        missedOption_ = option;
    }
    NoteDifferences(date, days, option, optionDiffer_);
    for (const DateOrder order : kDateOrders) {
        Span(recordSpans_, order, days.at(Index(option)));
    }
}

void DateSurvey::EndRecord(bool bolInPeriod)
{
    if (bolInPeriod) {
        for (const DateOrder order : kDateOrders) {
            for (const std::uint32_t day : recordSpans_.at(Index(order))) {
                Span(spans_, order, day);
            }
            for (const std::uint32_t day : recordWholeSpans_.at(Index(order))) {
                Span(wholeSpans_, order, day);
            }
        }
    } else {
        sLastText_.clear(); // the same date in the next record widens the period after all
    }
    recordSpans_ = recordWholeSpans_ = Spans{};
}

void DateSurvey::Span(Spans& spans, DateOrder order, std::uint32_t day)
{
    auto& span = spans.at(Index(order));
    if (day == 0) {
        return;
    }
    if (span[0] == 0 || day < span[0]) {
        span[0] = day;
    }
    span[1] = std::max(span[1], day);
}

void DateSurvey::Periods(DateDecision& decision) const
{
    for (const DateOrder order : kDateOrders) {
        // Without a date that no option governs, the file is read as the options say, and
        // another order reads it only by reading every date that way (what --date-order does).
        const bool bolWhole = !bolUnmarked_ && order != decision.order;
        const bool bolReads = bolUnmarked_ ? !misses_[Index(order)]
                                           : order == decision.order || readsAll_.at(Index(order));
        const auto& span = (bolWhole ? wholeSpans_ : spans_).at(Index(order));
        if (bolReads && span[0] != 0) {
            decision.periods.at(Index(order)) = DatePeriod{DayText(span[0]), DayText(span[1])};
        }
    }
}

void DateSurvey::NoteUnmarked(const DateLine& date, DateReading& reading, Days& days)
{
    bolUnmarked_ = true;
    bool readable = false;
    for (const DateOrder order : kDateOrders) {
        auto& miss = misses_[Index(order)];
        if (miss) {
            continue;
        }
        days.at(Index(order)) = reading.In(order);
        if (days.at(Index(order)) != 0) {
            readable = true;
        } else {
            miss = MissOf(date);
        }
    }
    if (!readable && !unreadable_ &&
        std::none_of(std::begin(kDateOrders), std::end(kDateOrders),
                     [&reading](DateOrder order) { return reading.In(order) != 0; })) {
        unreadable_ = MissOf(date);
    }
    for (const DateOrder applied : kDateOrders) {
        NoteDifferences(date, days, applied, unmarkedDiffer_.at(Index(applied)));
    }
}

void DateSurvey::NoteDifferences(const DateLine& date, const Days& days, DateOrder applied,
                                 Differences& differences) const
{
    const std::uint32_t read = days.at(Index(applied));
    if (read == 0) {
        return;
    }
    for (const DateOrder other : kDateOrders) {
        const std::uint32_t day = days.at(Index(other));
        auto& difference = differences.at(Index(other));
        if (other != applied && !difference && day != 0 && day != read) {
            difference = ExampleOf(date, days);
        }
    }
}

std::vector<DateOrder> DateSurvey::OtherOrders(DateOrder applied) const
{
    std::vector<DateOrder> others;
    for (const DateOrder other : kDateOrders) {
        if (other != applied && readsAll_.at(Index(other)) &&
            (unmarkedDiffer_.at(Index(applied)).at(Index(other)) ||
             optionDiffer_.at(Index(other)))) {
            others.push_back(other);
        }
    }
    return others;
}

DateDecision DateSurvey::Decide(std::optional<DateOrder> chosen) const
{
    DateDecision decision;
    if (const auto& miss = misses_[0]) {
        decision.dayFirstFailure = {miss->line, NotInOrder(miss->sLine, DateOrder::DayFirst)};
    }
    if (given_) {
        decision.order = *given_;
        decision.source = DateSource::CommandLine;
    } else if (optionMiss_) {
        decision.bolFits = false;
        decision.failure = {optionMiss_->line,
                            NotInOrder(optionMiss_->sLine, *missedOption_) +
                                ", as an \"!Option:\" line before it says the dates are"};
        return decision;
    } else {
        Decided(decision, chosen);
        if (!decision.bolFits) {
            return decision;
        }
    }
    Periods(decision);
    decision.otherOrders = OtherOrders(decision.order);
    decision.bolAmbiguous = !decision.otherOrders.empty();
    if (decision.bolAmbiguous) {
        // The first date that reads as another day in the first other order.
        const DateOrder other = decision.otherOrders.front();
        const auto& unmarked = unmarkedDiffer_.at(Index(decision.order)).at(Index(other));
        const auto& marked = optionDiffer_.at(Index(other));
        decision.example =
            unmarked && (!marked || unmarked->line < marked->line) ? *unmarked : *marked;
    }
    return decision;
}

void DateSurvey::Decided(DateDecision& decision, std::optional<DateOrder> chosen) const
{
    if (!bolUnmarked_) {
        if (firstOption_) {
            decision.order = firstOption_->order;
            decision.source = DateSource::Option;
            decision.line = firstOption_->line;
            decision.sLine =
                platform::Excerpt(platform::DecodeFileText(firstOption_->sLine, bolUtf8_));
        }
        return;
    }
    for (const DateOrder order : kDateOrders) {
        if (misses_[Index(order)] || (chosen && order != *chosen)) {
            continue;
        }
        decision.order = order;
        if (order != DateOrder::DayFirst && misses_[0]) {
            decision.line = misses_[0]->line;
            decision.sLine = misses_[0]->sLine;
            decision.sDate = ReadDate(misses_[0]->sText, order).value_or("");
        }
        return;
    }
    decision.bolFits = false;
    if (unreadable_) {
        decision.failure = {unreadable_->line,
                            Quoted(unreadable_->sLine) +
                                (NamesNoYear(unreadable_->sText)
                                     ? std::string(" has no year")
                                     : " is no real day, read day first, month first or year "
                                       "first")};
    } else {
        decision.failure = {misses_[0]->line,
                            Quoted(misses_[0]->sLine) +
                                " is no real day read day first, and no other date order reads "
                                "every date of the file"};
    }
}

} // namespace qif2ldx::qif
