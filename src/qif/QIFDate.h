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

// True when the text holds a digit; a "D" line without one is no date at all (a description).
[[nodiscard]] bool HasDigit(std::string_view sText);

// The yyyymmdd of a date text read in the order given; nullopt unless it names a real day.
// The parts are separated by "/"; in a text without "/" by "."; without either by "-"; an
// apostrophe after the last of those separates the year too, and a year of one or two digits
// after it is 2000 plus that number. Eight digits alone are year, month and day. Read day
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
        bool bolFound = false;      // the text has a separator
        bool bolApostrophe = false; // the year follows an apostrophe
        std::string_view first;     // before the first separator
        std::string_view second;    // the two characters after it, "5/" turned into "5"
        std::string_view last;      // after the last separator
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
