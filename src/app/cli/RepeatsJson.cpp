// SPDX-License-Identifier: MIT
#include "app/cli/RepeatsJson.h"

#include "app/Receipt.h"

namespace qif2ldx::app::cli {
namespace {

using nlohmann::json;

json RecordJson(const RepeatRecord& record)
{
    json entry = {{"line", record.line},
                  {"date", IsoDate(record.sDate)},
                  {"amount", record.sAmount},
                  {"payee", record.sPayee},
                  {"statement", record.sStatement}};
    if (!record.sEarlierDay.empty()) {
        entry["earlier_date"] = IsoDate(record.sEarlierDay);
    }
    return entry;
}

json RecordsJson(const std::vector<RepeatRecord>& records)
{
    json list = json::array();
    for (const RepeatRecord& record : records) {
        list.push_back(RecordJson(record));
    }
    return list;
}

} // namespace

json RepeatsJson(const ConversionOutcome& objOutcome)
{
    if (!objOutcome.repeats) {
        return nullptr;
    }
    const RepeatReport& report = *objOutcome.repeats;
    json statements = json::array();
    for (const history::StatementEntry& entry : report.statements) {
        statements.push_back(
            {{"statement", entry.sStatement}, {"qif_file", entry.sQIFFile}, {"made", entry.sMade}});
    }
    json others = json::array();
    for (const history::StatementEntry& entry : report.otherAccounts) {
        others.push_back(
            {{"account", entry.sAccount}, {"statement", entry.sStatement}, {"made", entry.sMade}});
    }
    return {{"checked", report.bolChecked},
            {"count", report.count},
            {"left_out", report.bolLeftOut},
            {"statements", std::move(statements)},
            {"records", RecordsJson(report.records)},
            {"possible", RecordsJson(report.possible)},
            {"same_file", report.sameFile ? json{{"statement", report.sameFile->sStatement},
                                                 {"made", report.sameFile->sMade}}
                                          : json(nullptr)},
            {"other_accounts", std::move(others)},
            {"recorded", report.bolRecorded}};
}

} // namespace qif2ldx::app::cli
