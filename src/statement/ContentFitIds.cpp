// SPDX-License-Identifier: MIT
#include "statement/ContentFitIds.h"

#define XXH_STATIC_LINKING_ONLY // XXH3_state_t on the stack
#include <xxhash.h>

namespace qif2ldx::statement {
namespace {

void Add(XXH3_state_t& state, std::string_view field)
{
    // Each field with its length, so that no two sets of fields run together alike.
    const std::uint64_t length = field.size();
    XXH3_128bits_update(&state, &length, sizeof length);
    XXH3_128bits_update(&state, field.data(), field.size());
}

std::pair<std::uint64_t, std::uint64_t> Digest(XXH3_state_t& state)
{
    const XXH128_hash_t hash = XXH3_128bits_digest(&state);
    return {hash.high64, hash.low64};
}

} // namespace

std::string ContentFitIds::Next(const Content& content)
{
    XXH3_state_t state;
    XXH3_128bits_reset(&state);
    for (const std::string_view field : {content.sAcctNum, content.sDate, content.sAmount,
                                         content.sPayee, content.sMemo, content.sNum}) {
        Add(state, field);
    }
    const Key key = Digest(state);
    std::uint64_t& seen = occurrences_[key];
    Key id;
    do {
        // The content's digest with the number of identical transactions before this one; a
        // digest handed out already (a collision, never seen) takes the next number.
        XXH3_128bits_reset(&state);
        XXH3_128bits_update(&state, &key, sizeof key);
        XXH3_128bits_update(&state, &seen, sizeof seen);
        id = Digest(state);
        ++seen;
    } while (!handedOut_.insert(id).second);
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, {id.second, id.first});
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string sFitId;
    for (const unsigned char byte : canonical.digest) {
        sFitId += kDigits[byte >> 4];
        sFitId += kDigits[byte & 0xF];
    }
    return sFitId;
}

} // namespace qif2ldx::statement
