// SPDX-License-Identifier: MIT
#include "app/DateOrderMemory.h"

#include "app/MainModule.h"
#include "platform/FileSystem.h"
#include "platform/Utf8.h"

namespace qif2ldx::app {
namespace {

std::optional<qif::DateOrder> OrderOfCode(std::string_view sCode)
{
    for (const qif::DateOrder order : qif::kDateOrders) {
        if (sCode == DateOrderCode(order)) {
            return order;
        }
    }
    return std::nullopt;
}

} // namespace

const char* DateOrderCode(qif::DateOrder order)
{
    switch (order) {
    case qif::DateOrder::DayFirst:
        return "dmy";
    case qif::DateOrder::MonthFirst:
        return "mdy";
    case qif::DateOrder::YearFirst:
        return "ymd";
    }
    return "";
}

std::vector<history::DateOrderEntry> LegacyDateOrders(const std::string& sFile,
                                                      std::string* sWarning)
{
    std::vector<history::DateOrderEntry> kept;
    if (sFile.empty()) {
        return kept;
    }
    const platform::Result<std::string> text =
        platform::ReadRegularFile(sFile, kLegacyDateOrdersLimit);
    if (!text) {
        if (text.reason.kind == platform::ReasonKind::TooLarge && sWarning != nullptr) {
            *sWarning = "the date orders kept in " + platform::EscapeControls(sFile) +
                        " were not read: the file is larger than 1 MiB, which no list of "
                        "accounts is";
        }
        return kept;
    }
    std::string_view rest = text.value;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        if (line.ends_with('\r')) {
            line.remove_suffix(1); // a file written on Windows
        }
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        const std::size_t tab = line.find('\t');
        if (tab != std::string_view::npos && OrderOfCode(line.substr(0, tab))) {
            kept.push_back({std::string(line.substr(tab + 1)), std::string(line.substr(0, tab))});
        }
    }
    return kept;
}

std::optional<qif::DateOrder> DateOrderMemory::Recall(const std::string& sAccount) const
{
    if (objHistory_ == nullptr) {
        return std::nullopt;
    }
    const std::optional<std::string> sCode = objHistory_->DateOrder(Trim(sAccount));
    return sCode ? OrderOfCode(*sCode) : std::nullopt;
}

bool DateOrderMemory::Remember(const std::string& sAccount, qif::DateOrder order) const
{
    const std::string sName = Trim(sAccount);
    return objHistory_ != nullptr && !sName.empty() &&
           objHistory_->KeepDateOrder(sName, DateOrderCode(order));
}

} // namespace qif2ldx::app
