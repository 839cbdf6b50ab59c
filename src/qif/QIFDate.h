// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qif2ldx::qif {

// The order in which a date names its day, month and year.
enum class DateOrder
{
    DayFirst,   // 15/03/2003
    MonthFirst, // 03/15/2003
    YearFirst   // 2003/03/15
};

// Every order, in the order they are tried.
inline constexpr DateOrder kDateOrders[] = {DateOrder::DayFirst, DateOrder::MonthFirst,
                                            DateOrder::YearFirst};

// "day first", "month first", "year first".
[[nodiscard]] const char* DateOrderName(DateOrder order);

// The date text of a "D" line: the line with its surrounding spaces removed, its last
// character dropped when it holds a tab anywhere, then its first character (the "D") and every
// blank (space or tab) removed. Works on Windows-1252 bytes, one byte a character.
[[nodiscard]] std::string DateText(std::string_view sLine);

// The yyyymmdd, as a number, of a "D" line that names its month in English: "D02 Dec 2024",
// "D2-Dec-2024", "D02-DEC-24", "DDec 2, 2024", "D2 December 2024". The three-letter
// abbreviation or the full name, in any letter case; the day before or after it; the parts
// separated by blanks, "-", "/" or "."; a comma allowed before the year, which follows the rules
// of ReadDate (two digits: the pivot at 70). 0 for any other line, or no real day; such a date
// reads the same in every order.
[[nodiscard]] std::uint32_t ReadNamedMonthDate(std::string_view sLine);

// The yyyymmdd, as a number, of a date text whose first part is a year of four digits
// ("2024-01-25", "2024'01'02", "2007/01/22"): only year first reads it, whatever the order of
// the file's other dates. 0 for any other text, or no real day.
[[nodiscard]] std::uint32_t ReadYearFirstDate(std::string_view sText);

// True when the text holds a digit; a "D" line without one is no date at all (a description).
[[nodiscard]] bool HasDigit(std::string_view sText);

// True when a date text names a day and a month but no year: numbers on both sides of its one
// separator ("15/03", "15.3").
[[nodiscard]] bool NamesNoYear(std::string_view sText);

// The yyyymmdd of a date text read in the order given; nullopt unless it names a real day.
// The parts are separated by "/"; in a text without "/" by "."; without either by "-"; without
// any of those by apostrophes ("2024'01'02"). An apostrophe after the last of the others
// separates the year too, and a year of one or two digits after an apostrophe is 2000 plus that
// number. A text with one separator names no year, and no day. Eight digits alone are year,
// month and day. Read day
// first, the year is the text after the last separator (two digits: 00-69 in 2000-2069, 70-99
// in the 1900s), the day the text before the first, padded to two characters, and the month
// the two characters after the first separator (one digit and a separator: that digit
// padded); month first swaps day and month; year first reads year, month and day from the
// front.
[[nodiscard]] std::optional<std::string> ReadDate(std::string_view sText, DateOrder order);

// A date text taken apart once, to be read in one order or several, each the first time it is
// asked for: yyyymmdd as a number, 0 where the text names no real day in that order. Reads as
// ReadDate does.
class DateReading
{
public:
    explicit DateReading(std::string_view sText);

    [[nodiscard]] std::uint32_t In(DateOrder order);

    // The text taken apart, in the places the reading takes them from; views into the text.
    struct Pieces
    {
        bool bolFound = false;               // the text has separators, with a year after the last
        bool bolApostrophe = false;          // the year follows an apostrophe
        bool bolApostropheSeparated = false; // apostrophes are the only separators
        std::string_view first;              // before the first separator
        std::string_view second;             // the two characters after it, "5/" turned into "5"
        std::string_view last;               // after the last separator
    };

private:
    Pieces pieces_;
    std::array<std::uint32_t, 3> days_{};
    std::array<bool, 3> read_{};
};

// The yyyymmdd text of a day that DateReading gave.
[[nodiscard]] std::string DayText(std::uint32_t day);

// True when the text is eight digits naming a real day: year 0001-9999, month 01-12, a day
// that month has (29 February only in leap years).
[[nodiscard]] bool IsCalendarDate(std::string_view sDate);

// A real day told in words: "24 March 2015" for 20150324.
[[nodiscard]] std::string DescribeDate(std::string_view sDate);

} // namespace qif2ldx::qif
