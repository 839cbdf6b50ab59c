// SPDX-License-Identifier: MIT
#include "platform/Utf16.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>

namespace qif2ldx::platform {
namespace {

// An iconv conversion, closed when it goes.
class Converter
{
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (*this) {
            static_cast<void>(iconv_close(handle_));
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // iconv_open reports failure as (iconv_t)-1.
    explicit operator bool() const { return reinterpret_cast<std::intptr_t>(handle_) != -1; }
    [[nodiscard]] iconv_t Get() const { return handle_; }

private:
    iconv_t handle_;
};

} // namespace

std::optional<std::string> Utf16ToUtf8(std::string_view sBytes, bool bolBigEndian)
{
    if (sBytes.size() % 2 != 0) {
        return std::nullopt;
    }
    const Converter converter("UTF-8", bolBigEndian ? "UTF-16BE" : "UTF-16LE");
    if (!converter) {
        return std::nullopt;
    }
    // A UTF-16 code unit becomes at most three UTF-8 bytes.
    std::string text(sBytes.size() / 2 * 3, '\0');
    char* in = const_cast<char*>(sBytes.data()); // iconv does not write through it
    std::size_t inLeft = sBytes.size();
    char* out = text.data();
    std::size_t outLeft = text.size();
    if (iconv(converter.Get(), &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
        return std::nullopt;
    }
    text.resize(text.size() - outLeft);
    return text;
}

} // namespace qif2ldx::platform
