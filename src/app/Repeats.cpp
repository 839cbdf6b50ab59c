// SPDX-License-Identifier: MIT
#include "app/Repeats.h"

#include "platform/Text.h"

#include <algorithm>
#include <chrono>
#include <string_view>
#include <unordered_map>

namespace qif2ldx::app {
namespace {

// The amount as a plain number without trailing zeros ("-12.5" for "-12.50"), so that the same
// amount written two ways is one; the text as written when it is no number.
std::string AmountKey(const qif::ReviewedTx& txn)
{
    if (!txn.amount) {
        return txn.cTxn.sAmount;
    }
    std::string sText = qif::FormatDecimal(*txn.amount, 0, false);
    if (sText.find('.') != std::string::npos) {
        sText.erase(sText.find_last_not_of('0') + 1);
        if (sText.back() == '.') {
            sText.pop_back();
        }
    }
    return sText == "-0" ? std::string("0") : sText;
}

std::string_view TrimBlanks(std::string_view sText)
{
    const std::size_t first = sText.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return sText.substr(first, sText.find_last_not_of(" \t") - first + 1);
}

// The fields of a key in one text, for hashing; the unit separator cannot be in a field read
// from a line.
std::string Joined(const history::TransactionKey& key)
{
    return std::to_string(key.day) + '\x1f' + key.sAmount + '\x1f' + key.sPayee + '\x1f' +
           key.sNum + '\x1f' + key.sMemo;
}

std::string AmountAndPayee(const history::TransactionKey& key)
{
    return key.sAmount + '\x1f' + key.sPayee;
}

// Days since 1970 of a yyyymmdd day.
std::int64_t Days(std::uint32_t day)
{
    const std::chrono::year_month_day date{std::chrono::year(static_cast<int>(day / 10000)),
                                           std::chrono::month((day / 100) % 100),
                                           std::chrono::day(day % 100)};
    return std::chrono::sys_days(date).time_since_epoch().count();
}

std::uint32_t DayOf(std::int64_t days)
{
    const std::chrono::year_month_day date{std::chrono::sys_days(std::chrono::days(days))};
    return static_cast<std::uint32_t>(static_cast<int>(date.year())) * 10000 +
           static_cast<unsigned>(date.month()) * 100 + static_cast<unsigned>(date.day());
}

} // namespace

std::uint32_t DayNumber(const std::string& sDate)
{
    if (sDate.size() != 8 || !platform::IsAllDigits(sDate)) {
        return 0;
    }
    return static_cast<std::uint32_t>(std::stoul(sDate));
}

history::TransactionKey KeyOf(const qif::ReviewedTx& txn)
{
    return {DayNumber(txn.cTxn.sDate), AmountKey(txn), std::string(TrimBlanks(txn.cTxn.sPayee)),
            txn.cTxn.sNum, txn.cTxn.sMemo};
}

RepeatMatches FindRepeats(const std::vector<qif::ReviewedTx>& transactions,
                          const std::vector<history::EarlierTransaction>& earlier)
{
    RepeatMatches matches;
    if (earlier.empty()) {
        return matches;
    }
    struct Candidates
    {
        std::vector<std::size_t> earlier; // indexes into earlier, oldest statement first
        std::size_t used = 0;
    };
    std::unordered_map<std::string, Candidates> byKey;
    std::uint32_t lastDay = 0;
    for (std::size_t i = 0; i < earlier.size(); ++i) {
        byKey[Joined(earlier[i].key)].earlier.push_back(i);
        lastDay = std::max(lastDay, earlier[i].key.day);
    }
    for (auto& [sKey, candidates] : byKey) {
        std::stable_sort(candidates.earlier.begin(), candidates.earlier.end(),
                         [&earlier](std::size_t first, std::size_t second) {
                             return earlier[first].statement < earlier[second].statement;
                         });
    }
    std::vector<bool> matched(transactions.size(), false);
    // Only the transactions dated within the earlier ones' reach are keyed: a file that goes on
    // past them costs no more than its overlap.
    const std::uint32_t reach = DayOf(Days(lastDay) + kPossibleRepeatDays);
    std::vector<std::optional<history::TransactionKey>> keys(transactions.size());
    for (std::size_t i = 0; i < transactions.size(); ++i) {
        const std::uint32_t day = DayNumber(transactions[i].cTxn.sDate);
        if (day != 0 && day <= reach) {
            keys[i] = KeyOf(transactions[i]);
        }
        if (!keys[i] || day > lastDay) {
            continue;
        }
        const auto found = byKey.find(Joined(*keys[i]));
        if (found == byKey.end() || found->second.used == found->second.earlier.size()) {
            continue;
        }
        const std::size_t at = found->second.earlier[found->second.used++];
        matched[i] = true;
        matches.exact.push_back({i, earlier[at].statement});
    }
    // Every earlier transaction by amount and payee, in date order, so that each transaction
    // finds those within kPossibleRepeatDays of its date by a binary search.
    struct Dated
    {
        std::int64_t days;
        std::size_t at; // in earlier
    };
    std::unordered_map<std::string, std::vector<Dated>> byAmountAndPayee;
    for (std::size_t i = 0; i < earlier.size(); ++i) {
        byAmountAndPayee[AmountAndPayee(earlier[i].key)].push_back({Days(earlier[i].key.day), i});
    }
    for (auto& [sKey, dated] : byAmountAndPayee) {
        std::stable_sort(dated.begin(), dated.end(), [](const Dated& first, const Dated& second) {
            return first.days < second.days;
        });
    }
    for (std::size_t i = 0; i < transactions.size(); ++i) {
        if (matched[i] || !keys[i]) {
            continue;
        }
        const auto found = byAmountAndPayee.find(AmountAndPayee(*keys[i]));
        if (found == byAmountAndPayee.end()) {
            continue;
        }
        const std::int64_t days = Days(keys[i]->day);
        auto next = std::lower_bound(
            found->second.begin(), found->second.end(), days - kPossibleRepeatDays,
            [](const Dated& dated, std::int64_t from) { return dated.days < from; });
        // The same transaction again, past the count of its repeats, is new rather than
        // possibly one: what it may repeat is another.
        const std::string sKey = Joined(*keys[i]);
        for (; next != found->second.end() && next->days <= days + kPossibleRepeatDays; ++next) {
            const history::EarlierTransaction& candidate = earlier[next->at];
            if (candidate.key.day != keys[i]->day || Joined(candidate.key) != sKey) {
                matches.possible.push_back({i, candidate.statement, candidate.key.day});
                break;
            }
        }
    }
    return matches;
}

std::optional<std::pair<std::uint32_t, std::uint32_t>>
SearchPeriod(const std::vector<qif::ReviewedTx>& transactions)
{
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    for (const qif::ReviewedTx& txn : transactions) {
        const std::uint32_t day = DayNumber(txn.cTxn.sDate);
        if (day == 0) {
            continue;
        }
        first = first == 0 ? day : std::min(first, day);
        last = std::max(last, day);
    }
    if (first == 0) {
        return std::nullopt;
    }
    return std::pair{DayOf(Days(first) - kPossibleRepeatDays),
                     DayOf(Days(last) + kPossibleRepeatDays)};
}

} // namespace qif2ldx::app
