// SPDX-License-Identifier: MIT
#pragma once

#include "qif/DatePlan.h"
#include "qif/QIFLines.h"
#include "records/CQIFTx.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qif2ldx::qif {

// What the reading of a QIF text found.
struct ReadReport
{
    std::int64_t written = 0;            // transactions handed on
    std::int64_t dropped = 0;            // records closed by "^" without a date or an amount
    bool bolUnterminatedRecord = false;  // the text ended inside a record, which was not written
    bool bolUnterminatedWritten = false; // the last record had no "^" and was written anyway
    std::string sStartDate;              // yyyymmdd, empty when no date line was read
    std::string sEndDate;
    // The accounts ("!Account" blocks) the written transactions belong to, in file order;
    // empty when the file names none.
    std::vector<std::string> accounts;
    DateDecision dates; // the order the dates were read in, and why
};

// Collects the lines of one transaction at a time: date, amount, number, payee and memo, by
// each line's first character; every other line is skipped. A record closed by "^" that holds
// a date and an amount goes to the sink, and so does such a record still open when the text
// ends. Tracks the period over every date read. A line starting with "!" begins a section: the
// records of account lists, categories, classes, memorised transactions, securities, prices,
// budgets, tags, payees and templates are no transactions, and their lines are not read.
class QIFRecords
{
public:
    using Sink = std::function<void(const records::CQIFTx&)>;

    // bolUtf8: the fields are UTF-8; otherwise Windows-1252. Dates are read as the plan says.
    QIFRecords(bool bolUtf8, const DatePlan& objDates, ReadReport& objReport, Sink objSink);

    // Handles one line. Throws QIFError for a date that cannot be read.
    void HandleLine(const QIFLine& line);
    // The text has ended.
    void Finish();

private:
    void HandleSection(std::string_view line);
    void HandleNonTransaction(char code, std::string_view field);
    void EndTransaction();
    void EndUnterminated();
    void Write();
    void TrackPeriod(const std::string& sNew);
    [[nodiscard]] std::string Decode(std::string_view field) const;

    bool bolUtf8_;
    const DatePlan& objDates_;
    ReadReport& objReport_;
    Sink objSink_;
    records::CQIFTx cTxn_;
    bool opened_ = false;        // the current record holds a field
    bool inTransactions_ = true; // lines before any section are transactions
    bool inAccounts_ = false;    // in an "!Account" section
    std::optional<DateOrder> option_;
    std::string sAccountName_; // the "N" line of the account record being read
    std::string sAccount_;     // the account the transactions that follow belong to
};

} // namespace qif2ldx::qif
