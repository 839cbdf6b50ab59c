// SPDX-License-Identifier: MIT
#include "statement/ContentFitIds.h"

#include <xxhash.h>

namespace qif2ldx::statement {
namespace {

std::pair<std::uint64_t, std::uint64_t> Digest(const void* data, std::size_t size)
{
    const XXH128_hash_t hash = XXH3_128bits(data, size);
    return {hash.high64, hash.low64};
}

} // namespace

std::string ContentFitIds::Next(const Content& content)
{
    // Each field with its length, so that no two sets of fields run together alike; in one
    // buffer, as one-shot hashing of a few dozen bytes is far quicker than a streaming state.
    sBuffer_.clear();
    for (const std::string_view field : {content.sAcctNum, content.sDate, content.sAmount,
                                         content.sPayee, content.sMemo, content.sNum}) {
        const std::uint64_t length = field.size();
        sBuffer_.append(reinterpret_cast<const char*>(&length), sizeof length);
        sBuffer_.append(field);
    }
    const Key key = Digest(sBuffer_.data(), sBuffer_.size());
    std::uint64_t& seen = occurrences_[key];
    Key id;
    do {
        // The content's digest with the number of identical transactions before this one; a
        // digest handed out already (a collision, never seen) takes the next number.
        const std::uint64_t input[3] = {key.first, key.second, seen};
        id = Digest(input, sizeof input);
        ++seen;
    } while (!handedOut_.insert(id).second);
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, {id.second, id.first});
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string sFitId;
    sFitId.reserve(2 * sizeof canonical.digest);
    for (const unsigned char byte : canonical.digest) {
        sFitId += kDigits[byte >> 4];
        sFitId += kDigits[byte & 0xF];
    }
    return sFitId;
}

} // namespace qif2ldx::statement
