// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qif2ldx::statement {

// FITIDs that stay the same when the same transactions are converted again: 32 hexadecimal
// digits of XXH128 over the account number, date, amount, payee, memo and number, and how many
// identical transactions came before in the same statement. Owns what it has handed out, so
// that no FITID repeats within one statement.
class ContentFitIds
{
public:
    struct Content
    {
        std::string_view sAcctNum, sDate, sAmount, sPayee, sMemo, sNum;
    };

    // The FITID of the next transaction of the statement. Never throws but std::bad_alloc.
    [[nodiscard]] std::string Next(const Content& content);

private:
    using Key = std::pair<std::uint64_t, std::uint64_t>; // an XXH128 digest

    // A count for each digest, in one flat array: digests need no hashing of their own, and a
    // statement of a million transactions makes a million of them, which nodes of a standard
    // map would each allocate and scatter.
    class DigestCounts
    {
    public:
        // The count of key, and whether key was new (its count then 0).
        std::pair<std::uint64_t&, bool> Find(const Key& key);

    private:
        struct Slot
        {
            Key key;
            std::uint64_t count = 0;
            bool bolUsed = false;
        };
        void Grow();

        std::vector<Slot> slots_;
        std::size_t used_ = 0;
    };

    DigestCounts occurrences_; // by content
    DigestCounts handedOut_;   // by FITID
    std::string sBuffer_;      // the fields of the transaction being hashed
};

} // namespace qif2ldx::statement
