// SPDX-License-Identifier: MIT
#include "qif/QIFDate.h"

#include "platform/Text.h"

#include <algorithm>
#include <array>

namespace qif2ldx::qif {
namespace {

// Whether year, month and day name a day of the calendar.
bool IsRealDay(std::uint32_t year, std::uint32_t month, std::uint32_t day)
{
    constexpr std::array<std::uint32_t, 12> kDays = {31, 28, 31, 30, 31, 30,
                                                     31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1) {
        return false;
    }
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

// Eight digits naming a real day, as the number yyyymmdd; 0 for anything else.
std::uint32_t DayNumber(std::string_view sDate)
{
    if (sDate.size() != 8) {
        return 0;
    }
    std::uint32_t value = 0;
    for (const char c : sDate) {
        if (c < '0' || c > '9') {
            return 0;
        }
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return IsRealDay(value / 10000, value / 100 % 100, value % 100) ? value : 0;
}

// The digits of a date as its parts are put one after the other: at most eight characters are
// kept, and any more make it no date at all.
class DateDigits
{
public:
    void Append(std::string_view part)
    {
        if (size_ + part.size() > text_.size()) {
            size_ = text_.size() + 1;
            return;
        }
        part.copy(text_.data() + size_, part.size());
        size_ += part.size();
    }

    // The date as yyyymmdd when the parts made exactly eight digits naming a real day; else 0.
    [[nodiscard]] std::uint32_t Day() const
    {
        return size_ == text_.size() ? DayNumber(std::string_view(text_.data(), text_.size())) : 0;
    }

private:
    std::array<char, 8> text_{};
    std::size_t size_ = 0;
};

// A two-digit year in full: with an apostrophe before it always 20xx (Quicken writes 1/5'23 and
// 12/21' 7), otherwise 00-69 in 2000-2069 and 70-99 in the 1900s. A year of another length is
// kept as written (one or two digits after an apostrophe count as 20xx). False for two
// characters that are not a number.
bool AppendFullYear(std::string_view year, bool bolApostrophe, DateDigits& out)
{
    const bool digits = platform::IsAllDigits(year);
    if (bolApostrophe && digits && year.size() <= 2) {
        out.Append(year.size() == 1 ? "200" : "20");
        out.Append(year);
        return true;
    }
    if (year.size() != 2) {
        out.Append(year);
        return true;
    }
    if (!digits) {
        return false;
    }
    out.Append((year[0] - '0') * 10 + (year[1] - '0') < 70 ? "20" : "19");
    out.Append(year);
    return true;
}

// A day or month of one character gets a leading "0".
void AppendPadded(std::string_view part, DateDigits& out)
{
    if (part.size() == 1) {
        out.Append("0");
    }
    out.Append(part);
}

using DatePieces = DateReading::Pieces;

// Where each separator first and last stands in a date text, found in one pass.
struct SeparatorPlaces
{
    static constexpr std::size_t kNone = std::string_view::npos;
    static constexpr std::size_t kApostrophe = 3;
    std::size_t first[4] = {kNone, kNone, kNone, kNone}; // "/", ".", "-", "'"
    std::size_t last[4] = {kNone, kNone, kNone, kNone};

    explicit SeparatorPlaces(std::string_view text)
    {
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            const int k = c == '/' ? 0 : c == '.' ? 1 : c == '-' ? 2 : c == '\'' ? 3 : -1;
            if (k >= 0) {
                const auto slot = static_cast<std::size_t>(k);
                first[slot] = first[slot] == kNone ? i : first[slot];
                last[slot] = i;
            }
        }
    }
};

DatePieces SplitDate(std::string_view text)
{
    // The separator is "/"; in a text without "/" it is "."; without either, "-"; without any
    // of those, an apostrophe between every part.
    const SeparatorPlaces places(text);
    std::size_t k = 0;
    while (k < SeparatorPlaces::kApostrophe && places.first[k] == SeparatorPlaces::kNone) {
        ++k;
    }
    const std::size_t firstSeparator = places.first[k];
    if (firstSeparator == SeparatorPlaces::kNone) {
        return {};
    }
    std::size_t lastSeparator = places.last[k];
    DatePieces parts;
    // An apostrophe before the year, after the other separators, says the year is 20xx; where
    // apostrophes are the only separators, the last one stands before the year all the same.
    const std::size_t apostrophe = places.last[SeparatorPlaces::kApostrophe];
    parts.bolApostropheSeparated = k == SeparatorPlaces::kApostrophe;
    parts.bolApostrophe = apostrophe != SeparatorPlaces::kNone && apostrophe >= lastSeparator;
    lastSeparator = parts.bolApostrophe ? apostrophe : lastSeparator;
    if (lastSeparator == firstSeparator) {
        return {}; // a day and a month, but no year
    }
    parts.bolFound = true;
    parts.first = text.substr(0, firstSeparator);
    // The two characters after the first separator, up to the next one, or fewer where a
    // separator or an apostrophe comes first.
    parts.second = text.substr(firstSeparator + 1,
                               std::min<std::size_t>(2, lastSeparator - firstSeparator - 1));
    const char separator = "/.-'"[k];
    for (std::size_t i = 0; i < parts.second.size(); ++i) {
        if (parts.second[i] == separator || parts.second[i] == '\'') {
            parts.second = parts.second.substr(0, i);
            break;
        }
    }
    parts.last = text.substr(lastSeparator + 1);
    return parts;
}

// The day that year, month and day name together, as written one after the other; 0 when they
// do not make eight digits naming a real day.
std::uint32_t DayOf(const DatePieces& parts, DateOrder order)
{
    DateDigits digits;
    std::string_view month = parts.second;
    std::string_view day = parts.first;
    if (order == DateOrder::YearFirst) {
        if ((parts.bolApostrophe && !parts.bolApostropheSeparated) ||
            !AppendFullYear(parts.first, false, digits)) {
            return 0; // after an apostrophe among other separators, the year is the last part
        }
        day = parts.last;
    } else {
        if (!AppendFullYear(parts.last, parts.bolApostrophe, digits)) {
            return 0;
        }
        if (order == DateOrder::MonthFirst) {
            std::swap(month, day);
        }
    }
    AppendPadded(month, digits);
    AppendPadded(day, digits);
    return digits.Day();
}

// "jan" … "dec" and the full names, any letter case: the month's number, or 0.
int MonthNumber(std::string_view word)
{
    static constexpr std::array<std::string_view, 12> kNames = {
        "january", "february", "march",     "april",   "may",      "june",
        "july",    "august",   "september", "october", "november", "december"};
    if (word.size() < 3) {
        return 0;
    }
    const std::string lower = platform::ToLowerAscii(word);
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (lower == kNames.at(i) || lower == kNames.at(i).substr(0, 3)) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

// The parts of a date with a named month: three words between blanks, "-", "/" and ".", and
// whether a comma stood before the last one. Empty when the text is otherwise.
struct NamedParts
{
    std::array<std::string_view, 3> words;
    bool bolFound = false;
};

NamedParts SplitNamed(std::string_view text)
{
    NamedParts parts;
    std::size_t count = 0;
    std::size_t pos = 0;
    bool bolComma = false;
    while (pos < text.size()) {
        const char c = text[pos];
        if (c == ' ' || c == '\t' || c == '-' || c == '/' || c == '.' || c == ',') {
            bolComma = bolComma || c == ',';
            ++pos;
            continue;
        }
        if (count == parts.words.size() || (bolComma && count != 2)) {
            return {}; // a fourth word, or a comma anywhere but before the year
        }
        const std::size_t end = text.find_first_of(" \t-/.,", pos);
        parts.words.at(count++) = text.substr(pos, end - pos);
        pos = end == std::string_view::npos ? text.size() : end;
    }
    parts.bolFound = count == parts.words.size();
    return parts;
}

} // namespace

std::uint32_t ReadNamedMonthDate(std::string_view sLine)
{
    std::string_view text = platform::TrimSpaces(sLine);
    if (text.find('\t') != std::string_view::npos) {
        text.remove_suffix(1);
    }
    const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (text.size() < 2 || std::none_of(text.begin() + 1, text.end(), letter)) {
        return 0; // most dates are digits and separators alone
    }
    const NamedParts parts = SplitNamed(text.substr(1)); // after the "D"
    if (!parts.bolFound) {
        return 0;
    }
    // The month is the first word or the second; the day is the other of those two.
    const int first = MonthNumber(parts.words[0]);
    const int month = first != 0 ? first : MonthNumber(parts.words[1]);
    const std::string_view day = first != 0 ? parts.words[1] : parts.words[0];
    if (month == 0 || day.size() > 2 || !platform::IsAllDigits(day) ||
        !platform::IsAllDigits(parts.words[2])) {
        return 0;
    }
    DateDigits digits;
    if (!AppendFullYear(parts.words[2], false, digits)) {
        return 0;
    }
    const char monthDigits[] = {static_cast<char>('0' + month / 10),
                                static_cast<char>('0' + month % 10)};
    digits.Append(std::string_view(monthDigits, 2));
    AppendPadded(day, digits);
    return digits.Day();
}

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
    std::string_view s = platform::TrimSpaces(sLine);
    if (s.find('\t') != std::string_view::npos) {
        s.remove_suffix(1);
    }
    if (!s.empty()) {
        s.remove_prefix(1); // the "D"
    }
    std::string text(s);
    std::erase_if(text, [](char c) { return c == ' ' || c == '\t'; });
    return text;
}

std::uint32_t ReadYearFirstDate(std::string_view sText)
{
    const bool bolYearFirst = sText.size() > 4 && platform::IsAllDigits(sText.substr(0, 4)) &&
                              std::string_view("/.-'").find(sText[4]) != std::string_view::npos;
    return bolYearFirst ? DateReading(sText).In(DateOrder::YearFirst) : 0;
}

bool HasDigit(std::string_view sText)
{
    return sText.find_first_of("0123456789") != std::string_view::npos;
}

bool NamesNoYear(std::string_view sText)
{
    const std::size_t separator = sText.find_first_of("/.-'");
    return separator != std::string_view::npos && !SplitDate(sText).bolFound &&
           HasDigit(sText.substr(0, separator)) && HasDigit(sText.substr(separator + 1));
}

DateReading::DateReading(std::string_view sText)
{
    if (sText.size() == 8 && platform::IsAllDigits(sText)) {
        days_.fill(DayNumber(sText)); // eight digits are year, month and day in every order
        read_.fill(true);
        return;
    }
    pieces_ = SplitDate(sText);
}

std::uint32_t DateReading::In(DateOrder order)
{
    const auto k = static_cast<std::size_t>(order);
    if (!read_.at(k)) {
        days_.at(k) = pieces_.bolFound ? DayOf(pieces_, order) : 0;
        read_.at(k) = true;
    }
    return days_.at(k);
}

std::optional<std::string> ReadDate(std::string_view sText, DateOrder order)
{
    const std::uint32_t day = DateReading(sText).In(order);
    return day == 0 ? std::nullopt : std::optional<std::string>(DayText(day));
}

std::string DayText(std::uint32_t day)
{
    std::string sText(8, '0');
    for (std::size_t i = 8; i-- > 0; day /= 10) {
        sText[i] = static_cast<char>('0' + day % 10);
    }
    return sText;
}

bool IsCalendarDate(std::string_view sDate)
{
    return DayNumber(sDate) != 0;
}

} // namespace qif2ldx::qif
