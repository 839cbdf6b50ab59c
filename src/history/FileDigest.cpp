// SPDX-License-Identifier: MIT
#include "history/FileDigest.h"

#include "platform/File.h"

#include <array>
#include <cstdio>
#include <memory>
#include <xxhash.h>

namespace qif2ldx::history {

std::optional<std::string> FileDigest(const std::string& sPath)
{
    const platform::Result<platform::UniqueFd> file = platform::OpenRegularFile(sPath);
    if (!file) {
        return std::nullopt;
    }
    const std::unique_ptr<XXH3_state_t, XXH_errorcode (*)(XXH3_state_t*)> state(XXH3_createState(),
                                                                                &XXH3_freeState);
    if (!state || XXH3_128bits_reset(state.get()) != XXH_OK) {
        return std::nullopt;
    }
    std::array<char, 1 << 16> buffer{};
    for (std::uint64_t offset = 0;;) {
        const platform::Result<std::size_t> got =
            platform::ReadSomeAt(file.value.Get(), buffer.data(), buffer.size(), offset);
        if (!got) {
            return std::nullopt;
        }
        if (got.value == 0) {
            break;
        }
        offset += got.value;
        static_cast<void>(XXH3_128bits_update(state.get(), buffer.data(), got.value));
    }
    const XXH128_hash_t digest = XXH3_128bits_digest(state.get());
    std::array<char, 33> text{};
    std::snprintf(text.data(), text.size(), "%016llx%016llx",
                  static_cast<unsigned long long>(digest.high64),
                  static_cast<unsigned long long>(digest.low64));
    return std::string(text.data(), 32);
}

} // namespace qif2ldx::history
