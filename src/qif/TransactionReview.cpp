// SPDX-License-Identifier: MIT
#include "qif/TransactionReview.h"

#include <algorithm>

namespace qif2ldx::qif {

QIFRecords::Sink TransactionReview::Sink(char amountSeparator, QIFRecords::Sink objWrite,
                                         std::function<std::string()> objFitId,
                                         std::string_view sText)
{
    kept_.clear();
    objWrite_ = std::move(objWrite);
    objFitId_ = std::move(objFitId);
    if (!objAsk_) {
        return objWrite_;
    }
    // Every record ends in "^" but the last: as many transactions as are kept, or a few more.
    kept_.reserve(static_cast<std::size_t>(std::count(sText.begin(), sText.end(), '^')) + 1);
    return [this, amountSeparator](records::CQIFTx& cTxn, std::int64_t line,
                                   const std::string& sAccount) {
        std::optional<Decimal> amount = ReadFileAmount(cTxn.sAmount, amountSeparator);
        kept_.push_back({std::move(cTxn), line, amount, false, {}, sAccount});
    };
}

ReviewEnd TransactionReview::Finish(ReadReport& report)
{
    if (!objAsk_) {
        return ReviewEnd::Written;
    }
    const std::optional<std::vector<Omission>> omissions = objAsk_(kept_);
    if (!omissions) {
        return ReviewEnd::Cancelled;
    }
    for (const Omission& omission : *omissions) {
        kept_.at(omission.index).bolLeftOut = true;
    }
    if (!kept_.empty() && std::all_of(kept_.begin(), kept_.end(),
                                      [](const ReviewedTx& txn) { return txn.bolLeftOut; })) {
        return ReviewEnd::NothingNew;
    }
    if (!omissions->empty()) {
        Account(report, *omissions);
    }
    for (ReviewedTx& txn : kept_) {
        if (txn.bolLeftOut) {
            continue;
        }
        objWrite_(txn.cTxn, txn.line, txn.sAccount);
        if (objFitId_) {
            txn.sFitId = objFitId_();
        }
    }
    return ReviewEnd::Written;
}

void TransactionReview::Account(ReadReport& report, const std::vector<Omission>& omissions) const
{
    // The statement's count, sums and period are those of the transactions it holds.
    for (const Omission& omission : omissions) {
        const ReviewedTx& txn = kept_.at(omission.index);
        report.leftOut.push_back({txn.line, LeftOutReason::Repeat, {}, omission.sReason});
        report.amounts.Forget(txn.amount, txn.line);
        --report.written;
    }
    std::stable_sort(
        report.leftOut.begin(), report.leftOut.end(),
        [](const LeftOut& first, const LeftOut& second) { return first.line < second.line; });
    report.sStartDate.clear();
    report.sEndDate.clear();
    for (const ReviewedTx& txn : kept_) {
        if (txn.bolLeftOut) {
            continue;
        }
        const std::string& sDate = txn.cTxn.sDate;
        if (report.sStartDate.empty() || sDate < report.sStartDate) {
            report.sStartDate = sDate;
        }
        if (report.sEndDate.empty() || sDate > report.sEndDate) {
            report.sEndDate = sDate;
        }
    }
}

} // namespace qif2ldx::qif
