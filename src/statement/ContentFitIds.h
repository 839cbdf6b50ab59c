// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

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
    struct Hash
    {
        std::size_t operator()(const std::pair<std::uint64_t, std::uint64_t>& value) const
        {
            return static_cast<std::size_t>(value.first ^ value.second);
        }
    };
    using Key = std::pair<std::uint64_t, std::uint64_t>;

    std::unordered_map<Key, std::uint64_t, Hash> occurrences_; // by content
    std::unordered_set<Key, Hash> handedOut_;
    std::string sBuffer_; // the fields of the transaction being hashed
};

} // namespace qif2ldx::statement
