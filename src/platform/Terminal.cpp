// SPDX-License-Identifier: MIT
#include "platform/Terminal.h"

#include <array>
#include <cstdlib>
#include <ctime>
#include <locale.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace qif2ldx::platform {
namespace {

// The locale, loaded; nullptr when the system does not have it.
locale_t LoadTimeLocale(const std::string& sLocale)
{
    return ::newlocale(LC_TIME_MASK, sLocale.c_str(), static_cast<locale_t>(nullptr));
}

} // namespace

int TerminalColumns(int fd) noexcept
{
    if (::isatty(fd) != 1) {
        return 0;
    }
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) {
        return 80; // a terminal that does not say how wide it is
    }
    return size.ws_col;
}

std::optional<std::string> UserTimeLocale()
{
    for (const char* name : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(name);
        if (value == nullptr || *value == '\0') {
            continue;
        }
        const std::string sLocale(value);
        if (sLocale == "C" || sLocale == "POSIX" || sLocale.rfind("C.", 0) == 0) {
            return std::nullopt;
        }
        locale_t loaded = LoadTimeLocale(sLocale);
        if (loaded == static_cast<locale_t>(nullptr)) {
            return std::nullopt;
        }
        ::freelocale(loaded);
        return sLocale;
    }
    return std::nullopt;
}

std::optional<std::string> LocaleDate(const std::string& sLocale, int year, int month, int day)
{
    locale_t loaded = LoadTimeLocale(sLocale);
    if (loaded == static_cast<locale_t>(nullptr)) {
        return std::nullopt;
    }
    std::tm when{};
    when.tm_year = year - 1900;
    when.tm_mon = month - 1;
    when.tm_mday = day;
    std::array<char, 64> text{};
    const std::size_t size = ::strftime_l(text.data(), text.size(), "%-d %b %Y", &when, loaded);
    ::freelocale(loaded);
    if (size == 0) {
        return std::nullopt;
    }
    return std::string(text.data(), size);
}

} // namespace qif2ldx::platform
