// SPDX-License-Identifier: MIT
#include "history/FileDigest.h"

#include "platform/File.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <unistd.h>
#include <xxhash.h>

namespace qif2ldx::history {

std::optional<std::string> FileDigest(const std::string& sPath)
{
    const platform::UniqueFd file = platform::OpenRegularFile(sPath);
    if (!file) {
        return std::nullopt;
    }
    const std::unique_ptr<XXH3_state_t, XXH_errorcode (*)(XXH3_state_t*)> state(XXH3_createState(),
                                                                                &XXH3_freeState);
    if (!state || XXH3_128bits_reset(state.get()) != XXH_OK) {
        return std::nullopt;
    }
    std::array<char, 1 << 16> buffer{};
    for (;;) {
        const ssize_t got = ::read(file.Get(), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        static_cast<void>(
            XXH3_128bits_update(state.get(), buffer.data(), static_cast<std::size_t>(got)));
    }
    const XXH128_hash_t digest = XXH3_128bits_digest(state.get());
    std::array<char, 33> text{};
    std::snprintf(text.data(), text.size(), "%016llx%016llx",
                  static_cast<unsigned long long>(digest.high64),
                  static_cast<unsigned long long>(digest.low64));
    return std::string(text.data(), 32);
}

} // namespace qif2ldx::history
