// SPDX-License-Identifier: MIT
#pragma once

#include "app/KeptHistory.h"
#include "history/HistoryRecords.h"
#include "qif/QIFDate.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qif2ldx::app {

// The order chosen last, per account, for a file whose dates read two ways, kept in the
// program's history; the dialog keeps it, and both the dialog and the command line read it.
class DateOrderMemory
{
public:
    // The file in the user's configuration folder that the orders were kept in before the
    // history kept them: one account a line, "mdy", "dmy" or "ymd", a tab, and the account's
    // name. It is read until there is a history, taken into the history made, and left in
    // place.
    static constexpr const char* kFileName = "date-orders";

    // objHistory: where the orders are kept; nullptr keeps nothing.
    explicit DateOrderMemory(KeptHistory* objHistory) : objHistory_(objHistory) {}

    // The order last chosen for the account (its name trimmed); nullopt when there is none or
    // it cannot be read. Never throws.
    [[nodiscard]] std::optional<qif::DateOrder> Recall(const std::string& sAccount) const;
    // Keeps the order for the account (its name trimmed), replacing what was kept for it. False
    // when it cannot be kept. Never throws.
    [[nodiscard]] bool Remember(const std::string& sAccount, qif::DateOrder order) const;

private:
    KeptHistory* objHistory_;
};

// "dmy", "mdy", "ymd": how the command line names an order.
[[nodiscard]] const char* DateOrderCode(qif::DateOrder order);

// The largest old file of date orders read: one line an account, it is far smaller.
inline constexpr std::uint64_t kLegacyDateOrdersLimit = 1024 * 1024;

// The orders kept in the old file (DateOrderMemory::kFileName) that read as an order and an
// account; empty when it cannot be read, or is larger than kLegacyDateOrdersLimit, which
// sWarning (when given) then tells. Never throws but std::bad_alloc.
[[nodiscard]] std::vector<history::DateOrderEntry>
LegacyDateOrders(const std::string& sFile, std::string* sWarning = nullptr);

} // namespace qif2ldx::app
