// SPDX-License-Identifier: MIT
#pragma once

#include "qif/QIFDate.h"

#include <optional>
#include <string>

namespace qif2ldx::app {

// The order chosen last, per account, for a file whose dates read two ways. One account a line,
// "mdy", "dmy" or "ymd", a tab, and the account's name, in a file of its own in the user's
// configuration folder ("date-orders"); the dialog writes it, and both the dialog and the
// command line read it.
class DateOrderMemory
{
public:
    // The file's name in the user's configuration folder.
    static constexpr const char* kFileName = "date-orders";

    // sFile: the file the orders are kept in; empty keeps nothing.
    explicit DateOrderMemory(std::string sFile) : sFile_(std::move(sFile)) {}

    // The order last chosen for the account (its name trimmed); nullopt when there is none or
    // the file cannot be read. Never throws.
    [[nodiscard]] std::optional<qif::DateOrder> Recall(const std::string& sAccount) const;
    // Keeps the order for the account (its name trimmed), replacing what was kept for it, the
    // others kept as they were; the file is replaced whole, never left half-written. False when
    // it cannot be written. Never throws.
    [[nodiscard]] bool Remember(const std::string& sAccount, qif::DateOrder order) const;

private:
    std::string sFile_;
};

// "dmy", "mdy", "ymd": how the command line names an order.
[[nodiscard]] const char* DateOrderCode(qif::DateOrder order);

} // namespace qif2ldx::app
