// SPDX-License-Identifier: MIT
#include "qif/QIFDate.h"

#include "platform/Windows1252.h"

#include <array>

namespace qif2ldx::qif {
namespace {

std::string_view TrimSpaces(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

struct DateParts
{
    long long year;
    long long month;
    long long day;
};

DateParts PartsOf(std::string_view date)
{
    const std::string_view day = date.size() >= 2 ? date.substr(date.size() - 2) : date;
    return {ReadNumber(date.substr(0, 4)),
            ReadNumber(date.substr(std::min<std::size_t>(4, date.size()), 2)), ReadNumber(day)};
}

// A two-digit year in full: with an apostrophe before it always 20xx (Quicken writes 1/5'23 and
// 12/21' 7), otherwise 00-69 in 2000-2069 and 70-99 in the 1900s. A year of another length is
// kept as written (one or two digits after an apostrophe count as 20xx); nullopt for two
// characters that are not a number.
std::optional<std::string> FullYear(std::string_view year, bool bolApostrophe)
{
    const bool digits = !year.empty() && year.find_first_not_of("0123456789") == std::string::npos;
    if (bolApostrophe && digits && year.size() <= 2) {
        return std::string(year.size() == 1 ? "200" : "20") + std::string(year);
    }
    if (year.size() != 2) {
        return std::string(year);
    }
    if (!digits) {
        return std::nullopt;
    }
    return std::string((year[0] - '0') * 10 + (year[1] - '0') < 70 ? "20" : "19") +
           std::string(year);
}

// A day or month of one character gets a leading "0".
std::string Padded(std::string_view part)
{
    return part.size() == 1 ? "0" + std::string(part) : std::string(part);
}

// A date text taken apart, in the places the reading takes them from.
struct DatePieces
{
    bool bolFound = false;           // the text has a separator
    bool bolApostrophe = false;      // the year follows an apostrophe
    std::string first;               // before the first separator
    std::string second;              // the two characters after it, "5/" turned into "5"
    std::string last;                // after the last separator
    std::optional<std::string> year; // last, as a full year; nullopt when it cannot be one
};

DatePieces SplitDate(std::string_view text)
{
    char separator = '/';
    if (text.find('/') == std::string_view::npos) {
        separator = text.find('.') != std::string_view::npos ? '.' : '-';
    }
    const std::size_t firstSeparator = text.find(separator);
    if (firstSeparator == std::string_view::npos) {
        return {};
    }
    std::size_t lastSeparator = text.rfind(separator);
    const std::size_t apostrophe = text.rfind('\'');
    DatePieces parts;
    parts.bolFound = true;
    // An apostrophe counts only where it stands before the year, after the other separators.
    parts.bolApostrophe = apostrophe != std::string_view::npos && apostrophe > lastSeparator;
    if (parts.bolApostrophe) {
        lastSeparator = apostrophe;
    }
    parts.first = std::string(text.substr(0, firstSeparator));
    const std::string_view middle =
        text.substr(firstSeparator + 1, lastSeparator - firstSeparator - 1);
    if (lastSeparator == firstSeparator) {
        parts.second = std::string(text.substr(firstSeparator + 1, 2));
    } else {
        // The two characters after the first separator, up to the next one.
        parts.second = std::string(middle.substr(0, 2));
        if (middle.size() < 2) {
            parts.second = std::string(middle);
        }
    }
    const std::size_t cut = parts.second.find_first_of(std::string{separator, '\''});
    if (cut != std::string::npos) {
        parts.second = parts.second.substr(0, cut);
    }
    parts.last = std::string(text.substr(lastSeparator + 1));
    parts.year = FullYear(parts.last, parts.bolApostrophe);
    return parts;
}

} // namespace

std::string DescribeDate(std::string_view sDate)
{
    static constexpr std::array<const char*, 12> kMonths = {
        "January", "February", "March",     "April",   "May",      "June",
        "July",    "August",   "September", "October", "November", "December"};
    if (!IsCalendarDate(sDate)) {
        return std::string(sDate);
    }
    const int month = (sDate[4] - '0') * 10 + (sDate[5] - '0');
    const int day = (sDate[6] - '0') * 10 + (sDate[7] - '0');
    return std::to_string(day) + " " + kMonths[static_cast<std::size_t>(month - 1)] + " " +
           std::string(sDate.substr(0, 4));
}

long long ReadNumber(std::string_view sText)
{
    std::size_t pos = 0;
    while (pos < sText.size() && sText[pos] == ' ') {
        ++pos;
    }
    bool negative = false;
    if (pos < sText.size() && (sText[pos] == '-' || sText[pos] == '+')) {
        negative = sText[pos] == '-';
        ++pos;
    }
    const std::size_t digits = pos;
    long long value = 0;
    while (pos < sText.size() && sText[pos] >= '0' && sText[pos] <= '9') {
        if (value < 100'000'000'000'000'000LL) {
            value = value * 10 + (sText[pos] - '0');
        }
        ++pos;
    }
    if (pos == digits) {
        throw QIFError("\"" + platform::AnsiToUtf8(sText) + "\" is not a number");
    }
    while (pos < sText.size() && sText[pos] == ' ') {
        ++pos;
    }
    if (pos != sText.size()) {
        throw QIFError("\"" + platform::AnsiToUtf8(sText) + "\" is not a number");
    }
    return negative ? -value : value;
}

const char* DateOrderName(DateOrder order)
{
    switch (order) {
    case DateOrder::DayFirst:
        return "day first";
    case DateOrder::MonthFirst:
        return "month first";
    case DateOrder::YearFirst:
        return "year first";
    }
    return "";
}

std::string DateText(std::string_view sLine)
{
    std::string_view s = TrimSpaces(sLine);
    if (s.find('\t') != std::string_view::npos) {
        s.remove_suffix(1);
    }
    if (!s.empty()) {
        s.remove_prefix(1); // the "D"
    }
    std::string text;
    text.reserve(s.size());
    for (const char c : s) {
        if (c != ' ' && c != '\t') {
            text.push_back(c);
        }
    }
    return text;
}

bool HasDigit(std::string_view sText)
{
    return sText.find_first_of("0123456789") != std::string_view::npos;
}

std::optional<std::string> ReadDate(std::string_view sText, DateOrder order)
{
    if (sText.size() == 8 && sText.find_first_not_of("0123456789") == std::string_view::npos) {
        return IsCalendarDate(sText) ? std::optional<std::string>(sText) : std::nullopt;
    }
    const DatePieces parts = SplitDate(sText);
    if (!parts.bolFound) {
        return std::nullopt;
    }
    std::optional<std::string> year;
    std::string month;
    std::string day;
    switch (order) {
    case DateOrder::DayFirst:
        year = parts.year;
        month = parts.second;
        day = parts.first;
        break;
    case DateOrder::MonthFirst:
        year = parts.year;
        month = parts.first;
        day = parts.second;
        break;
    case DateOrder::YearFirst:
        if (parts.bolApostrophe) {
            return std::nullopt; // the year is the part after the apostrophe
        }
        year = FullYear(parts.first, false);
        month = parts.second;
        day = parts.last;
        break;
    }
    if (!year) {
        return std::nullopt;
    }
    std::string date = *year + Padded(month) + Padded(day);
    return IsCalendarDate(date) ? std::optional<std::string>(std::move(date)) : std::nullopt;
}

bool IsCalendarDate(std::string_view sDate)
{
    if (sDate.size() != 8 || sDate.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
    }
    const auto number = [&](std::size_t pos, std::size_t length) {
        int value = 0;
        for (std::size_t i = pos; i < pos + length; ++i) {
            value = value * 10 + (sDate[i] - '0');
        }
        return value;
    };
    const int year = number(0, 4);
    const int month = number(4, 2);
    const int day = number(6, 2);
    constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1) {
        return false;
    }
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[static_cast<std::size_t>(month - 1)] + (month == 2 && leap ? 1 : 0);
}

bool IsEarlierDate(std::string_view a, std::string_view b)
{
    const DateParts pa = PartsOf(a);
    const DateParts pb = PartsOf(b);
    if (pa.year != pb.year) {
        return pa.year < pb.year;
    }
    if (pa.month != pb.month) {
        return pa.month < pb.month;
    }
    return pa.day < pb.day;
}

} // namespace qif2ldx::qif
