// SPDX-License-Identifier: MIT
#pragma once

#include "qif/QIFError.h"

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

// What a date text reads as in each order (indexed by DateOrder): yyyymmdd as a number, 0 where
// it names no real day in that order. Reads the text once; ReadDate gives the same dates.
using DateReadings = std::array<std::uint32_t, 3>;
[[nodiscard]] DateReadings ReadDateAllOrders(std::string_view sText);

// The yyyymmdd text of a date that ReadDateAllOrders gave.
[[nodiscard]] std::string DayText(std::uint32_t day);

// True when the text is eight digits naming a real day: year 0001-9999, month 01-12, a day
// that month has (29 February only in leap years).
[[nodiscard]] bool IsCalendarDate(std::string_view sDate);

// Whether date a comes before date b: year (characters 1-4), then month (5-6), then day (the
// last two), each read as a number. Throws QIFError when any of the six parts is not a number.
[[nodiscard]] bool IsEarlierDate(std::string_view a, std::string_view b);

// A real day told in words: "24 March 2015" for 20150324.
[[nodiscard]] std::string DescribeDate(std::string_view sDate);

// A number: optional spaces, an optional sign, one or more decimal digits, optional spaces.
// Throws QIFError for anything else, the empty text included.
[[nodiscard]] long long ReadNumber(std::string_view sText);

} // namespace qif2ldx::qif
