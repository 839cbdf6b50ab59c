// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IEnvironment.h"

#include <string>

namespace qif2ldx::platform {

// The locale the user named for dates and times: LC_ALL, else LC_TIME, else LANG, the first
// that is set and not empty; empty when none is.
[[nodiscard]] std::string TimeLocaleName(const IEnvironment& objEnvironment);

// True when the locale writes a date with its month first ("en_US": 12/31/26), by the common
// locale data (which needs no locale installed on the system). False for C, POSIX and an empty
// name, for a locale that puts the day or the year first, and for one the data does not know.
[[nodiscard]] bool WritesMonthFirst(const std::string& sLocale);

} // namespace qif2ldx::platform
