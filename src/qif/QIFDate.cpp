// SPDX-License-Identifier: MIT
#include "qif/QIFDate.h"

#include "platform/Text.h"
#include "platform/Windows1252.h"

#include <algorithm>
#include <array>

namespace qif2ldx::qif {
namespace {

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
        const std::string_view text(text_.data(), std::min(size_, text_.size()));
        if (size_ != text_.size() || !IsCalendarDate(text)) {
            return 0;
        }
        std::uint32_t day = 0;
        for (const char c : text) {
            day = day * 10 + static_cast<std::uint32_t>(c - '0');
        }
        return day;
    }

private:
    std::array<char, 8> text_{};
    std::size_t size_ = 0;
};

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

// A date text taken apart, in the places the reading takes them from; views into the text.
struct DatePieces
{
    bool bolFound = false;      // the text has a separator
    bool bolApostrophe = false; // the year follows an apostrophe
    std::string_view first;     // before the first separator
    std::string_view second;    // the two characters after it, "5/" turned into "5"
    std::string_view last;      // after the last separator
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
    parts.first = text.substr(0, firstSeparator);
    if (lastSeparator == firstSeparator) {
        parts.second = text.substr(firstSeparator + 1, 2);
    } else {
        // The two characters after the first separator, up to the next one.
        parts.second = text.substr(firstSeparator + 1,
                                   std::min<std::size_t>(2, lastSeparator - firstSeparator - 1));
    }
    const char cuts[] = {separator, '\''};
    const std::size_t cut = parts.second.find_first_of(std::string_view(cuts, 2));
    if (cut != std::string_view::npos) {
        parts.second = parts.second.substr(0, cut);
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
        if (parts.bolApostrophe || !AppendFullYear(parts.first, false, digits)) {
            return 0; // after an apostrophe the year is the last part
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
    std::string_view s = platform::TrimSpaces(sLine);
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

DateReadings ReadDateAllOrders(std::string_view sText)
{
    DateReadings readings{};
    if (sText.size() == 8 && platform::IsAllDigits(sText)) {
        DateDigits digits;
        digits.Append(sText);
        readings.fill(digits.Day());
        return readings;
    }
    const DatePieces parts = SplitDate(sText);
    if (parts.bolFound) {
        for (const DateOrder order : kDateOrders) {
            readings.at(static_cast<std::size_t>(order)) = DayOf(parts, order);
        }
    }
    return readings;
}

std::optional<std::string> ReadDate(std::string_view sText, DateOrder order)
{
    const std::uint32_t day = ReadDateAllOrders(sText).at(static_cast<std::size_t>(order));
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
    if (sDate.size() != 8 || !platform::IsAllDigits(sDate)) {
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
