// SPDX-License-Identifier: MIT
#pragma once

#include "qif/QIFDate.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qif2ldx::qif {

// A date that is no real day read day first, met while the reading still assumes that every
// date is: the file's order has to be found before it is read again.
class DayFirstMiss : public QIFError
{
public:
    using QIFError::QIFError;
};

// Which order the dates of a file are read in, decided once for the whole file.
struct DateDecision
{
    DateOrder order = DateOrder::DayFirst; // for the dates no "!Option:" line governs
    bool bolFits = true;                   // every date of the file reads as a real day
    // The date that decided another order than day first: the first that is no real day read
    // day first. Its line number is 0 when day first was kept.
    std::int64_t line = 0;
    std::string sLine;            // that "D" line as written
    std::string sDate;            // what it reads as, yyyymmdd
    std::string sFailure;         // when !bolFits: why, naming the first date that cannot be read
    std::string sDayFirstFailure; // why reading day first instead fails (for a refusal)
};

// Looks at every date of a file before it is read: the order is day first when that reads
// every date as a real day (so a file read that way before reads the same now); otherwise
// "!Option:MDY|DMY|YMD" lines set the order for the dates after them, and the others take the
// first of day, month and year first that reads all of them as real days.
class DateSurvey
{
public:
    // One date text, on the line given, under the order an "!Option:" line set, if any.
    void Note(const std::string& sText, std::int64_t line, std::string_view sLine,
              std::optional<DateOrder> option);
    [[nodiscard]] DateDecision Decide() const;

private:
    struct Miss
    {
        std::int64_t line = 0;
        std::string sLine;
        std::string sText;
    };
    static constexpr int kOrderCount = 3;

    bool bolAllDayFirst_ = true;
    std::optional<Miss> optionMiss_; // the first date its "!Option:" order does not read
    std::optional<DateOrder> missedOption_;
    std::optional<Miss> misses_[kOrderCount]; // per order, the first unmarked date it does not read
    std::optional<Miss> unreadable_;          // the first unmarked date that no order reads
};

// How the dates of one reading of the file are read.
class DatePlan
{
public:
    // Day first, until a date is no real day that way: then DayFirstMiss.
    [[nodiscard]] static DatePlan AssumeDayFirst();
    // The order given for every date, "!Option:" lines or not.
    [[nodiscard]] static DatePlan Forced(DateOrder order);
    // What the survey decided.
    [[nodiscard]] static DatePlan Decided(const DateDecision& decision);
    // Every date goes to the survey; none is read.
    [[nodiscard]] static DatePlan Surveying(DateSurvey& objSurvey);

    // The yyyymmdd of the date text on a line (sLine: the line as written), under the order an
    // "!Option:" line set, if any; empty while surveying. Throws QIFError (DayFirstMiss when
    // day first is only assumed) for a date that is no real day in the order that applies.
    [[nodiscard]] std::string Read(const std::string& sText, std::int64_t line,
                                   std::string_view sLine, std::optional<DateOrder> option) const;

private:
    enum class Kind
    {
        Assumed,
        Forced,
        Decided,
        Surveying
    };
    DatePlan(Kind kind, DateOrder order, DateSurvey* objSurvey = nullptr)
        : kind_(kind), order_(order), objSurvey_(objSurvey)
    {}

    Kind kind_;
    DateOrder order_;
    DateSurvey* objSurvey_;
};

// The order an "!Option:" line names: "!Option:MDY", "!Option:DMY" or "!Option:YMD", in any
// letter case and with blanks after it; nullopt for any other line.
[[nodiscard]] std::optional<DateOrder> OptionDateOrder(std::string_view sLine);

// The refusal for a date that is no real day in the order given: "\"D12/25/2026\" is not a
// day-first date".
[[nodiscard]] std::string NotInOrder(std::string_view sLine, DateOrder order);

} // namespace qif2ldx::qif
