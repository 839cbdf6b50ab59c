// SPDX-License-Identifier: MIT
#pragma once

#include "qif/QIFError.h"

#include <string>
#include <string_view>

namespace qif2ldx::qif {

// The yyyymmdd text of a day-first "D" line (D15/03/2003, D5/3/03): the year after the last
// "/", two-digit years 00-69 in 2000-2069 and 70-99 in 1900s, the day padded to two
// characters, a one-digit month too. Throws QIFError for a line without "/" or a two-digit year
// that is not a number. Works on Windows-1252 bytes, one byte a character.
[[nodiscard]] std::string NormaliseQIFDate(std::string_view sLine);

// True when the text is eight digits naming a real day: year 0001-9999, month 01-12, a day
// that month has (29 February only in leap years).
[[nodiscard]] bool IsCalendarDate(std::string_view sDate);

// Whether date a comes before date b: year (characters 1-4), then month (5-6), then day (the
// last two), each read as a number. Throws QIFError when any of the six parts is not a number.
[[nodiscard]] bool IsEarlierDate(std::string_view a, std::string_view b);

// A number: optional spaces, an optional sign, one or more decimal digits, optional spaces.
// Throws QIFError for anything else, the empty text included.
[[nodiscard]] long long ReadNumber(std::string_view sText);

} // namespace qif2ldx::qif
