// SPDX-License-Identifier: MIT
#pragma once

#include "qif/QIFDate.h"
#include "qif/RecordCollector.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qif2ldx::qif {

// What is wrong with a QIF text, and where.
struct TextFault
{
    std::int64_t line = 0; // counting from 1; 0 for the text as a whole
    std::string sReason;   // "\"D13/13/2020\" is no real day …"
};

// Who or what settled the order of a file's dates.
enum class DateSource
{
    File,        // the dates themselves: day first, or the first order that reads them all
    Option,      // "!Option:" lines
    Account,     // the order chosen last for the account, for a file that reads two ways
    CommandLine, // --date-order
    Asked,       // the person converting, asked about a file that reads two ways
    Locale       // the order the user's locale writes dates in, for a file that reads two ways
};

// "file", "option", "account", "command line", "asked", "locale".
[[nodiscard]] const char* DateSourceName(DateSource source);

// A date that reads as a real day in several orders: its line and the day it reads as in each
// order (indexed by DateOrder; 0 where it names no real day).
struct DateExample
{
    std::int64_t line = 0;
    std::string sLine; // as written
    std::array<std::uint32_t, 3> days{};
};

// The first and last day a file's dates read as in one order, yyyymmdd.
struct DatePeriod
{
    std::string sStart;
    std::string sEnd;

    bool operator==(const DatePeriod&) const = default;
};

// Which order the dates of a file are read in, decided once for the whole file, and what else
// would have read them.
struct DateDecision
{
    // The order of the dates no "!Option:" line governs; in a file whose every date one
    // governs, that of the first option.
    DateOrder order = DateOrder::DayFirst;
    DateSource source = DateSource::File;
    bool bolFits = true; // every date of the file reads as a real day in the order that applies
    // The line that decided: the first date that is no real day read day first (when the file
    // took another order), or the "!Option:" line; 0 when none did.
    std::int64_t line = 0;
    std::string sLine; // that line as written
    std::string sDate; // for a date that decided: what it reads as, yyyymmdd
    // Every date also reads as a real day in another order, and as another day in at least one
    // case: the file reads two ways.
    bool bolAmbiguous = false;
    std::vector<DateOrder> otherOrders; // those other orders
    DateExample example;                // a date that reads differently in them
    TextFault failure;                  // when !bolFits: the first date that cannot be read
    TextFault dayFirstFailure;          // why reading day first instead fails (for a refusal)
    // For each order that reads every date (indexed by DateOrder): the period they read as.
    std::array<std::optional<DatePeriod>, 3> periods;
};

// Looks at every date of a file before any is read. "!Option:MDY|DMY|YMD" lines set the order
// of the dates after them; the others are read day first when that reads all of them as real
// days, and otherwise in the first of month and year first that does. An order given from
// outside reads every date, options or not. Besides, the survey finds whether the dates read
// as other real days in another order.
class DateSurvey
{
public:
    // bolUtf8: the lines are UTF-8 rather than Windows-1252 (for the messages). given: the
    // order every date is read in, whatever the file says.
    DateSurvey(bool bolUtf8, std::optional<DateOrder> given) : bolUtf8_(bolUtf8), given_(given) {}

    void Note(const DateLine& date);
    // The record of the dates noted since the last call has ended; bolInPeriod: its dates
    // widen the periods (an opening balance's do not).
    void EndRecord(bool bolInPeriod);
    // The decision; chosen: the order of the dates no option governs, instead of the one the
    // dates decide (it must read them all).
    [[nodiscard]] DateDecision Decide(std::optional<DateOrder> chosen = std::nullopt) const;

private:
    struct Miss
    {
        std::int64_t line = 0;
        std::string sLine; // as written
        std::string sText;
    };
    using Days = std::array<std::uint32_t, 3>;
    using Differences = std::array<std::optional<DateExample>, 3>;

    [[nodiscard]] Miss MissOf(const DateLine& date) const;
    [[nodiscard]] DateExample ExampleOf(const DateLine& date, const Days& days) const;
    // Notes where the date reads as another day in another order than applied.
    void NoteDifferences(const DateLine& date, const Days& days, DateOrder applied,
                         Differences& differences) const;
    void NoteUnmarked(const DateLine& date, DateReading& reading, Days& days);
    // The orders other than applied that read every date, each as another day somewhere.
    [[nodiscard]] std::vector<DateOrder> OtherOrders(DateOrder applied) const;
    void Decided(DateDecision& decision, std::optional<DateOrder> chosen) const;
    using Spans = std::array<std::array<std::uint32_t, 2>, 3>; // per order, first and last day
    // Widens the period of the order to the day; 0 is no day.
    static void Span(Spans& spans, DateOrder order, std::uint32_t day);
    void Periods(DateDecision& decision) const;

    bool bolUtf8_;
    std::optional<DateOrder> given_;
    std::array<bool, 3> readsAll_{true, true, true}; // every date reads as a real day that way
    std::optional<Miss> misses_[3];  // per order, the first unmarked date it does not read
    std::optional<Miss> unreadable_; // the first unmarked date that no order reads
    std::optional<Miss> optionMiss_; // the first date its "!Option:" order does not read
    std::optional<DateOrder> missedOption_;
    bool bolUnmarked_ = false;              // some date no option governs
    std::optional<DateOption> firstOption_; // the option of the first date one governs
    // The first date that reads as another day in each other order than the one it is read
    // in: for unmarked dates, per order they might be read in; for dates an option governs,
    // against that option's order.
    std::array<Differences, 3> unmarkedDiffer_;
    Differences optionDiffer_;
    std::string sLastText_; // the date noted last, and its option
    std::optional<std::int64_t> lastOptionLine_;
    // Per order, the days the dates read as when the dates no option governs are read that way
    // (spans_), and when every date is read that way, options or not (wholeSpans_).
    Spans spans_{};
    Spans wholeSpans_{};
    Spans recordSpans_{}; // the same, of the record being read
    Spans recordWholeSpans_{};
};

// How the dates of a file are read once their order is known.
class DatePlan
{
public:
    // The order given for every date, "!Option:" lines or not.
    [[nodiscard]] static DatePlan Given(DateOrder order) { return {order, false}; }
    // The order of the dates no "!Option:" line governs; the others are read as it says.
    [[nodiscard]] static DatePlan Decided(DateOrder order) { return {order, true}; }

    // The order the date is read in.
    [[nodiscard]] DateOrder OrderOf(const DateLine& date) const
    {
        return bolOptions_ && date.option ? date.option->order : order_;
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
