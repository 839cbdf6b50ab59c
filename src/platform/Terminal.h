// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

namespace qif2ldx::platform {

// The width of the terminal fd writes to, in columns; 0 when fd is no terminal.
[[nodiscard]] int TerminalColumns(int fd) noexcept;

// The locale the user chose for dates and times (LC_ALL, LC_TIME, then LANG), when it is a
// locale this system has and not the plain C or POSIX one.
[[nodiscard]] std::optional<std::string> UserTimeLocale();

// The day in the locale's words, "1 Nov 2026" style (day, abbreviated month, year); nullopt
// when the locale cannot be loaded.
[[nodiscard]] std::optional<std::string> LocaleDate(const std::string& sLocale, int year, int month,
                                                    int day);

} // namespace qif2ldx::platform
