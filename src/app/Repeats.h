// SPDX-License-Identifier: MIT
#pragma once

#include "history/HistoryRecords.h"
#include "qif/TransactionReview.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace qif2ldx::app {

// How many days apart a transaction and an earlier one of the same amount and payee may be and
// still possibly be one (banks re-date a pending transaction when it posts).
inline constexpr int kPossibleRepeatDays = 3;

// What a transaction is compared by: its date, its amount as a number, its payee without blanks
// at either end, its number and its memo.
[[nodiscard]] history::TransactionKey KeyOf(const qif::ReviewedTx& txn);

// A transaction of the new file that repeats one of an earlier statement.
struct RepeatMatch
{
    std::size_t index = 0;      // in the transactions reviewed
    std::int64_t statement = 0; // the earlier statement's id
};

// A transaction of the new file that may repeat one of an earlier statement: the same amount
// and payee within kPossibleRepeatDays, but not all the same.
struct PossibleMatch
{
    std::size_t index = 0;
    std::int64_t statement = 0;
    std::uint32_t earlierDay = 0; // yyyymmdd
};

struct RepeatMatches
{
    std::vector<RepeatMatch> exact;      // in file order
    std::vector<PossibleMatch> possible; // in file order
};

// The transactions that repeat earlier ones, counted with multiplicity: each earlier
// transaction is repeated once at most, the earliest statement's first. A transaction that
// repeats none may possibly repeat any earlier one of the same amount and payee within
// kPossibleRepeatDays (those others repeat included), the earliest in date; not one it is the
// same as in every way.
[[nodiscard]] RepeatMatches FindRepeats(const std::vector<qif::ReviewedTx>& transactions,
                                        const std::vector<history::EarlierTransaction>& earlier);

// The period earlier transactions are sought in: kPossibleRepeatDays before the first date to
// as many after the last, as yyyymmdd; nullopt without a dated transaction.
[[nodiscard]] std::optional<std::pair<std::uint32_t, std::uint32_t>>
SearchPeriod(const std::vector<qif::ReviewedTx>& transactions);

// yyyymmdd as a number; 0 for any text that is not eight digits.
[[nodiscard]] std::uint32_t DayNumber(const std::string& sDate);

} // namespace qif2ldx::app
