// SPDX-License-Identifier: MIT
#pragma once

#include "qif/QIFAmount.h"
#include "qif/QIFRecords.h"
#include "records/CQIFTx.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qif2ldx::qif {

// One transaction as the review sees it, before anything is written.
struct ReviewedTx
{
    records::CQIFTx cTxn;          // as it would be written
    std::int64_t line = 0;         // its record's first line
    std::optional<Decimal> amount; // read with the file's decimal separator; nullopt for no number
    bool bolLeftOut = false;       // the review left it out
    std::string sFitId;            // once written, its FITID
    std::string sAccount;          // the QIF account it belongs to (see QIFRecords::Sink)
};

// A transaction the review leaves out, and why, in a few words ("already in May.LDX …").
struct Omission
{
    std::size_t index = 0; // in the transactions reviewed
    std::string sReason;
};

// Asked once the records of a file are read and before the first transaction is written, with
// every transaction that would be written, in file order: which to leave out. nullopt cancels
// the conversion.
using ReviewCallback =
    std::function<std::optional<std::vector<Omission>>(const std::vector<ReviewedTx>&)>;

// How a review ended.
enum class ReviewEnd
{
    Written,   // the transactions kept were handed on
    Cancelled, // the callback cancelled: nothing was handed on
    NothingNew // the callback left every transaction out: nothing to write
};

// The step between reading a file's records and writing them: without a callback, each
// transaction goes straight on as it is read; with one, the transactions are kept until the
// whole file is read, the callback says which to leave out, and only then are the others handed
// on, with the report made to tell what was written (the left-out records, the count, the sums
// and the period of the transactions written).
class TransactionReview
{
public:
    void SetCallback(ReviewCallback objAsk) { objAsk_ = std::move(objAsk); }
    [[nodiscard]] bool IsSet() const { return static_cast<bool>(objAsk_); }

    // The sink to read the records into: objWrite itself without a callback, otherwise one that
    // keeps each transaction, which Finish then hands to objWrite (which must leave it as it
    // is: it is kept). amountSeparator: the decimal separator of the amounts as they are handed
    // on (the file's, or "." for plain amounts). objFitId, when given, tells the FITID of the
    // transaction written last. Forgets the transactions of an earlier read.
    // sText, the text read, tells how many transactions to make room for, so that they are kept
    // without being moved as their number grows.
    [[nodiscard]] QIFRecords::Sink Sink(char amountSeparator, QIFRecords::Sink objWrite,
                                        std::function<std::string()> objFitId = {},
                                        std::string_view sText = {});
    // Once every record is read: asks the callback and hands the transactions kept to the
    // writer given to Sink. Written at once without a callback.
    [[nodiscard]] ReviewEnd Finish(ReadReport& report);

    // The transactions reviewed, left out or written (with their FITIDs), in file order; empty
    // without a callback.
    [[nodiscard]] const std::vector<ReviewedTx>& Transactions() const { return kept_; }

private:
    // Makes the report tell of the transactions written alone.
    void Account(ReadReport& report, const std::vector<Omission>& omissions) const;

    ReviewCallback objAsk_;
    QIFRecords::Sink objWrite_;
    std::function<std::string()> objFitId_;
    std::vector<ReviewedTx> kept_;
};

} // namespace qif2ldx::qif
