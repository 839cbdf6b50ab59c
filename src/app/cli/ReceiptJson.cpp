// SPDX-License-Identifier: MIT
#include "app/Receipt.h"
#include "app/cli/CommandLine.h"
#include "app/cli/FileReceipt.h"
#include "app/cli/RepeatsJson.h"

#include <nlohmann/json.hpp>
#include <string_view>

namespace qif2ldx::app::cli {
namespace {

using nlohmann::json;

// The account as the list gives it (a line with fields missing included); one the list does not
// hold, or that cannot be read, is named as the user typed it.
json AccountJson(const FileReceipt& receipt)
{
    const ConversionOutcome& outcome = receipt.outcome;
    const records::CAcctInfo& account = outcome.cAcctInf;
    const bool bolListed =
        outcome.account == AccountLookup::Found || outcome.account == AccountLookup::IncompleteLine;
    return {{"name", bolListed ? account.AcctName : receipt.sAccount},
            {"type", account.AcctType},
            {"kind", account.AcctType == "CREDIT" ? "credit card" : "bank"},
            {"listed", bolListed}};
}

json LeftOutJson(const qif::ReadReport& report)
{
    json records = json::array();
    for (const qif::LeftOut& record : report.leftOut) {
        json entry = {{"line", record.line}, {"reason", qif::LeftOutText(record)}};
        if (!record.sSection.empty()) {
            entry["section"] = record.sSection;
        }
        records.push_back(std::move(entry));
    }
    return records;
}

json DatesJson(const qif::DateDecision& decision)
{
    json others = json::array();
    for (const qif::DateOrder order : decision.otherOrders) {
        others.push_back(qif::DateOrderName(order));
    }
    json dates = {{"order", qif::DateOrderName(decision.order)},
                  {"decided_by", qif::DateSourceName(decision.source)},
                  {"ambiguous", decision.bolAmbiguous},
                  {"other_orders", std::move(others)}};
    if (decision.line > 0) {
        dates["line"] = decision.line;
        dates["text"] = decision.sLine;
    }
    json periods = json::object();
    for (const qif::DateOrder order : qif::kDateOrders) {
        if (const auto& period = decision.periods.at(static_cast<std::size_t>(order))) {
            periods[qif::DateOrderName(order)] = {{"start", IsoDate(period->sStart)},
                                                  {"end", IsoDate(period->sEnd)}};
        }
    }
    dates["periods"] = std::move(periods);
    return dates;
}

json SeparatorJson(const qif::SeparatorDecision& decision)
{
    json separator = {{"separator", std::string(1, decision.separator)},
                      {"decided_by", decision.bolByAmounts ? "amounts" : "default"},
                      {"ambiguous", decision.bolAmbiguous}};
    if (decision.line > 0) {
        separator["line"] = decision.line;
        separator["text"] = decision.sLine;
    }
    if (decision.mixed) {
        const auto line = [](const qif::SeparatorLine& amount) {
            return json{{"line", amount.line}, {"text", amount.sLine}};
        };
        separator["mixed"] = {{"comma", line(decision.mixed->comma)},
                              {"point", line(decision.mixed->point)}};
    }
    return separator;
}

json FileJson(const FileReceipt& receipt)
{
    json file = {{"qif_file", receipt.sQIF},
                 {"statement", receipt.sStatement},
                 {"status", StatusName(receipt)},
                 {"exit_status", receipt.status}};
    if (!receipt.sReason.empty()) {
        file["error"] = receipt.sReason;
    }
    file["warnings"] = receipt.warnings;
    file["notes"] = receipt.notes;
    if (receipt.bolDryRun) {
        file["would_replace"] = receipt.bolReplaces;
    }
    if (!receipt.bolRan) {
        return file;
    }
    const qif::ReadReport& report = receipt.outcome.report;
    file["account"] = AccountJson(receipt);
    file["records"] = report.records;
    file["written"] = report.written;
    file["left_out"] = LeftOutJson(report);
    file["period"] = report.sStartDate.empty() ? json(nullptr)
                                               : json{{"start", IsoDate(report.sStartDate)},
                                                      {"end", IsoDate(report.sEndDate)}};
    file["credits"] = ShowSum(report.amounts.Credits(), false);
    file["debits"] = ShowSum(report.amounts.Debits(), false);
    file["decimal_separator"] = SeparatorJson(report.decimalSeparator);
    json notNumbers = json::array();
    for (const auto& amount : report.amounts.NotNumbers()) {
        notNumbers.push_back({{"line", amount.line}, {"text", amount.sText}});
    }
    file["amounts_not_numbers"] = std::move(notNumbers);
    file["dates"] = DatesJson(report.dates);
    file["encoding"] = qif::TextEncodingName(report.encoding);
    file["windows_1252_bytes"] =
        report.windows1252Line == 0
            ? json(nullptr)
            : json{{"first_line", report.windows1252Line}, {"lines", report.windows1252Lines}};
    file["line_ends"] = qif::LineEndsName(report.lineEnds);
    file["transliterated"] = report.charset.transliterated;
    file["undefined_bytes"] = report.charset.undefined;
    file["record_ends"] = qif::RecordEndsName(report.recordEnds);
    json accounts = json::array();
    for (const qif::QifAccount& account : report.qifAccounts) {
        accounts.push_back({{"name", account.sName},
                            {"type", account.sType},
                            {"transactions", account.transactions}});
    }
    file["qif_accounts"] = std::move(accounts);
    file["qif_account"] = report.sQifAccount.empty() ? json(nullptr) : json(report.sQifAccount);
    file["run_on_records"] = report.runOnRecords;
    file["repeats"] = RepeatsJson(receipt.outcome);
    return file;
}

json TotalJson(const std::vector<FileReceipt>& receipts)
{
    int status = 0;
    qif::Decimal credits;
    qif::Decimal debits;
    for (const FileReceipt& receipt : receipts) {
        status = std::max(status, receipt.status);
        if (receipt.bolRan && receipt.outcome.result == RunResult::Saved) {
            credits = credits + receipt.outcome.report.amounts.Credits();
            debits = debits + receipt.outcome.report.amounts.Debits();
        }
    }
    const ReceiptCounts counts = CountReceipts(receipts);
    return {{"files", receipts.size()},          {"done", counts.done},
            {"refused", counts.refused},         {"failed", counts.failed},
            {"interrupted", counts.interrupted}, {"records", counts.records},
            {"written", counts.written},         {"credits", ShowSum(credits, false)},
            {"debits", ShowSum(debits, false)},  {"exit_status", status}};
}

} // namespace

const char* StatusName(const FileReceipt& receipt)
{
    if (!receipt.bolRan || receipt.outcome.failure.kind == qif::FailureKind::UnknownQifAccount) {
        return "refused";
    }
    switch (receipt.outcome.result) {
    case RunResult::Saved:
        return receipt.bolDryRun ? "checked" : "saved";
    case RunResult::Refused:
    case RunResult::Unreadable:
        return "refused";
    case RunResult::Interrupted:
        return "interrupted";
    case RunResult::Failed:
    case RunResult::Cancelled:
    case RunResult::NothingNew:
    case RunResult::Aborted:
        break;
    }
    return "failed";
}

ReceiptCounts CountReceipts(const std::vector<FileReceipt>& receipts)
{
    ReceiptCounts counts;
    for (const FileReceipt& receipt : receipts) {
        const std::string_view sStatus = StatusName(receipt);
        if (sStatus == "refused") {
            ++counts.refused;
        } else if (sStatus == "interrupted") {
            ++counts.interrupted;
        } else if (sStatus == "failed") {
            ++counts.failed;
        } else {
            ++counts.done;
            counts.records += receipt.outcome.report.records;
            counts.written += receipt.outcome.report.written;
        }
    }
    return counts;
}

std::string ReceiptsJson(const std::vector<FileReceipt>& receipts)
{
    json document;
    if (receipts.size() == 1) {
        document = FileJson(receipts.front());
    } else {
        json files = json::array();
        for (const FileReceipt& receipt : receipts) {
            files.push_back(FileJson(receipt));
        }
        document = {{"files", std::move(files)}, {"total", TotalJson(receipts)}};
    }
    // Texts from files that are not valid UTF-8 are written with replacement characters
    // rather than failing the receipt.
    return document.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

} // namespace qif2ldx::app::cli
