// SPDX-License-Identifier: MIT
#include "app/DateOrderMemory.h"

#include "app/MainModule.h"
#include "platform/FileSystem.h"
#include "platform/StagedFile.h"

#include <filesystem>
#include <vector>

namespace qif2ldx::app {
namespace {

struct Kept
{
    qif::DateOrder order;
    std::string sAccount;
};

std::optional<qif::DateOrder> OrderOfCode(std::string_view sCode)
{
    for (const qif::DateOrder order : qif::kDateOrders) {
        if (sCode == DateOrderCode(order)) {
            return order;
        }
    }
    return std::nullopt;
}

// The lines of the file that read as an order and an account; the others are dropped.
std::vector<Kept> ReadKept(const std::string& sFile)
{
    std::vector<Kept> kept;
    const platform::Result<std::string> text = platform::ReadRegularFile(sFile);
    if (!text) {
        return kept;
    }
    std::string_view rest = text.value;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        const std::size_t tab = line.find('\t');
        const auto order = OrderOfCode(line.substr(0, tab));
        if (tab != std::string_view::npos && order) {
            kept.push_back({*order, std::string(line.substr(tab + 1))});
        }
    }
    return kept;
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

std::optional<qif::DateOrder> DateOrderMemory::Recall(const std::string& sAccount) const
{
    const std::string sName = Trim(sAccount);
    for (const Kept& kept : ReadKept(sFile_)) {
        if (kept.sAccount == sName) {
            return kept.order;
        }
    }
    return std::nullopt;
}

bool DateOrderMemory::Remember(const std::string& sAccount, qif::DateOrder order) const
{
    const std::string sName = Trim(sAccount);
    if (sFile_.empty() || sName.empty() || sName.find_first_of("\t\n") != std::string::npos) {
        return false;
    }
    std::string sText = std::string(DateOrderCode(order)) + "\t" + sName + "\n";
    for (const Kept& kept : ReadKept(sFile_)) {
        if (kept.sAccount != sName) {
            sText += std::string(DateOrderCode(kept.order)) + "\t" + kept.sAccount + "\n";
        }
    }
    std::error_code ignored; // a folder that cannot be made fails the file's creation below
    std::filesystem::create_directories(std::filesystem::path(sFile_).parent_path(), ignored);
    platform::StagedFile::RemoveStale(sFile_); // what dialogs killed while saving left
    platform::StagedFile::Created staged = platform::StagedFile::Create(sFile_);
    return staged.file && platform::WriteAll(staged.file->Fd(), sText) && staged.file->Sync() &&
           staged.file->Place(true).placement == platform::StagedFile::Placement::Placed;
}

} // namespace qif2ldx::app
