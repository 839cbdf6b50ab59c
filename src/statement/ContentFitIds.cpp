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

std::pair<std::uint64_t&, bool> ContentFitIds::DigestCounts::Find(const Key& key)
{
    if (2 * (used_ + 1) > slots_.size()) {
        Grow(); // at most half full, so that a search ends soon
    }
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = key.second & mask;; at = (at + 1) & mask) {
        Slot& slot = slots_[at];
        if (!slot.bolUsed) {
            slot = {key, 0, true};
            ++used_;
            return {slot.count, true};
        }
        if (slot.key == key) {
            return {slot.count, false};
        }
    }
}

void ContentFitIds::DigestCounts::Grow()
{
    std::vector<Slot> old(slots_.empty() ? 1024 : 2 * slots_.size());
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.bolUsed) {
            std::size_t at = slot.key.second & mask;
            while (slots_[at].bolUsed) {
                at = (at + 1) & mask;
            }
            slots_[at] = slot;
        }
    }
}

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
    std::uint64_t& seen = occurrences_.Find(key).first;
    Key id;
    do {
        // The content's digest with the number of identical transactions before this one; a
        // digest handed out already (a collision, never seen) takes the next number.
        const std::uint64_t input[3] = {key.first, key.second, seen};
        id = Digest(input, sizeof input);
        ++seen;
    } while (!handedOut_.Find(id).second);
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
