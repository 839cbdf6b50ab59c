// SPDX-License-Identifier: MIT
#pragma once

#include "records/CQIFTx.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qif2ldx::qif {

// What the reading of a QIF text found.
struct ReadReport
{
    std::int64_t written = 0;           // transactions handed on
    std::int64_t dropped = 0;           // records closed by "^" without a date or an amount
    bool bolUnterminatedRecord = false; // the text ended inside a record, which was not written
    std::string sStartDate;             // yyyymmdd, empty when no date line was read
    std::string sEndDate;
};

// Collects the lines of one transaction at a time: date (normalised to yyyymmdd), amount,
// number, payee and memo, by each line's first character; every other line is skipped. A
// record closed by "^" that holds a date and an amount goes to the sink. Tracks the period
// over every date line read.
class QIFRecords
{
public:
    using Sink = std::function<void(const records::CQIFTx&)>;

    // bolUtf8: the fields are UTF-8 (the file started with its byte-order mark); otherwise
    // Windows-1252.
    QIFRecords(bool bolUtf8, ReadReport& objReport, Sink objSink);

    // Handles one line. Throws QIFError for a date line that cannot be read.
    void HandleLine(std::string_view line);
    // The text has ended; a record still open is not written.
    void Finish();

private:
    void EndTransaction();
    void TrackPeriod(const std::string& sNew);
    [[nodiscard]] std::string Decode(std::string_view field) const;

    bool bolUtf8_;
    ReadReport& objReport_;
    Sink objSink_;
    records::CQIFTx cTxn_;
    bool opened_ = false;        // the current record holds a field
    bool inTransactions_ = true; // files without any header hold transactions
};

} // namespace qif2ldx::qif
