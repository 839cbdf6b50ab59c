// SPDX-License-Identifier: MIT
#pragma once

#include "qif/QIFDate.h"
#include "qif/RecordCollector.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qif2ldx::qif {

// What is wrong with a QIF text, and where.
struct TextFault
{
    std::int64_t line = 0;    // counting from 1; 0 for the text as a whole
    std::string sDescription; // "\"D13/13/2020\" is no real day …"
};

// Which order the dates of a file are read in, decided once for the whole file.
struct DateDecision
{
    DateOrder order = DateOrder::DayFirst; // for the dates no "!Option:" line governs
    bool bolFits = true;                   // every date of the file reads as a real day
    // Every date reads as a real day day first, so the file is read day first as it always
    // was, "!Option:" lines or not.
    bool bolAllDayFirst = true;
    // The date that decided another order than day first: the first that is no real day read
    // day first. Its line number is 0 when day first was kept.
    std::int64_t line = 0;
    std::string sLine;         // that "D" line as written
    std::string sDate;         // what it reads as, yyyymmdd
    TextFault failure;         // when !bolFits: the first date that cannot be read
    TextFault dayFirstFailure; // why reading day first instead fails (for a refusal)
};

// Looks at every date of a file before any is read: the order is day first when that reads
// every date as a real day (so a file read that way before reads the same now); otherwise
// "!Option:MDY|DMY|YMD" lines set the order for the dates after them, and the others take the
// first of day, month and year first that reads all of them as real days.
class DateSurvey
{
public:
    // bolUtf8: the lines are UTF-8 rather than Windows-1252 (for the messages).
    explicit DateSurvey(bool bolUtf8) : bolUtf8_(bolUtf8) {}

    void Note(const DateLine& date);
    [[nodiscard]] DateDecision Decide() const;

private:
    struct Miss
    {
        std::int64_t line = 0;
        std::string sLine; // as written
        std::string sText;
    };
    [[nodiscard]] Miss MissOf(const DateLine& date) const;

    bool bolUtf8_;
    bool bolAllDayFirst_ = true;
    std::optional<Miss> optionMiss_; // the first date its "!Option:" order does not read
    std::optional<DateOrder> missedOption_;
    std::optional<Miss> misses_[3];  // per order, the first unmarked date it does not read
    std::optional<Miss> unreadable_; // the first unmarked date that no order reads
    std::string sLastText_;          // the date noted last, and its "!Option:" order
    std::optional<DateOrder> lastOption_;
};

// How the dates of a file are read once their order is known.
class DatePlan
{
public:
    // The order given for every date, "!Option:" lines or not.
    [[nodiscard]] static DatePlan Given(DateOrder order) { return {order, false}; }
    // What the survey decided: "!Option:" lines govern the dates after them, unless every date
    // reads day first.
    [[nodiscard]] static DatePlan Decided(const DateDecision& decision)
    {
        return {decision.order, !decision.bolAllDayFirst};
    }

    // The order the date is read in.
    [[nodiscard]] DateOrder OrderOf(const DateLine& date) const
    {
        return bolOptions_ && date.option ? *date.option : order_;
    }

private:
    DatePlan(DateOrder order, bool bolOptions) : order_(order), bolOptions_(bolOptions) {}

    DateOrder order_;
    bool bolOptions_;
};

// The refusal for a date that is no real day in the order given: "\"D12/25/2026\" is not a
// day-first date".
[[nodiscard]] std::string NotInOrder(std::string_view sLine, DateOrder order);

} // namespace qif2ldx::qif
