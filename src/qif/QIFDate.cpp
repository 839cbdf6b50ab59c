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

} // namespace

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

std::string NormaliseQIFDate(std::string_view sLine)
{
    std::string_view s = TrimSpaces(sLine);
    if (s.find('\t') != std::string_view::npos) {
        s.remove_suffix(1);
    }
    if (!s.empty()) {
        s.remove_prefix(1); // the "D"
    }
    const std::size_t firstSlash = s.find('/');
    if (firstSlash == std::string_view::npos) {
        throw QIFError("the date \"" + platform::AnsiToUtf8(sLine) + "\" has no \"/\"");
    }
    std::string year(s.substr(s.rfind('/') + 1));
    std::string first(s.substr(0, firstSlash));
    std::string second(s.substr(firstSlash + 1, 2));
    if (year.size() == 2) {
        year = (ReadNumber(year) < 70 ? "20" : "19") + year;
    }
    if (first.size() == 1) {
        first = "0" + first;
    }
    if (second.find('/') != std::string::npos) {
        second = std::string("0") + second[0];
    }
    return year + second + first;
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
