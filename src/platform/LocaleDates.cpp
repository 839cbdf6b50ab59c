// SPDX-License-Identifier: MIT
#include "platform/LocaleDates.h"

#include <array>
#include <memory>
#include <string_view>
#include <unicode/udat.h>
#include <unicode/uloc.h>

namespace qif2ldx::platform {
namespace {

struct CloseFormat
{
    void operator()(UDateFormat* format) const { udat_close(format); }
};

// The first of day, month and year in an ICU date pattern ("M/d/yy" gives 'M'); text in
// quotes is literal. 0 when it names none.
char FirstField(const UChar* pattern, std::int32_t length)
{
    bool bolQuoted = false;
    for (std::int32_t i = 0; i < length; ++i) {
        const UChar c = pattern[i];
        if (c == u'\'') {
            bolQuoted = !bolQuoted;
        } else if (bolQuoted) {
            continue;
        } else if (c == u'd') {
            return 'd';
        } else if (c == u'M' || c == u'L') {
            return 'M';
        } else if (c == u'y' || c == u'Y' || c == u'u' || c == u'U' || c == u'r') {
            return 'y';
        }
    }
    return 0;
}

} // namespace

std::string TimeLocaleName(const IEnvironment& objEnvironment)
{
    for (const char* sName : {"LC_ALL", "LC_TIME", "LANG"}) {
        if (std::string sValue = objEnvironment.Variable(sName).value_or(""); !sValue.empty()) {
            return sValue;
        }
    }
    return {};
}

bool WritesMonthFirst(const std::string& sLocale)
{
    // "en_US.UTF-8@euro" is "en_US" to the locale data; C and POSIX write no order of a
    // country, and the data would take them for the United States.
    const std::string sId = sLocale.substr(0, sLocale.find_first_of(".@"));
    if (sId.empty() || sId == "C" || sId == "POSIX") {
        return false;
    }
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UDateFormat, CloseFormat> format(
        udat_open(UDAT_NONE, UDAT_SHORT, sId.c_str(), nullptr, -1, nullptr, -1, &status));
    if (U_FAILURE(status) || !format) {
        return false;
    }
    // A locale the data does not know is served by the process's default one: no answer for it.
    const char* sActual = udat_getLocaleByType(format.get(), ULOC_ACTUAL_LOCALE, &status);
    std::array<char, ULOC_LANG_CAPACITY> wanted{};
    std::array<char, ULOC_LANG_CAPACITY> actual{};
    uloc_getLanguage(sId.c_str(), wanted.data(), wanted.size(), &status);
    uloc_getLanguage(sActual, actual.data(), actual.size(), &status);
    if (U_FAILURE(status) || std::string_view(wanted.data()) != std::string_view(actual.data())) {
        return false;
    }
    std::array<UChar, 64> pattern{};
    const std::int32_t length =
        udat_toPattern(format.get(), false, pattern.data(), pattern.size(), &status);
    if (U_FAILURE(status)) {
        return false;
    }
    return FirstField(pattern.data(), length) == 'M';
}

} // namespace qif2ldx::platform
