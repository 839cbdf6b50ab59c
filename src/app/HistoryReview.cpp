// SPDX-License-Identifier: MIT
#include "app/HistoryReview.h"

#include "app/RepeatWording.h"
#include "app/Repeats.h"
#include "history/FileDigest.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace qif2ldx::app {
namespace {

// What is left undone when the history cannot be read during the review.
constexpr const char* kNotChecked = "repeats were not checked";

RepeatRecord RecordOf(const qif::ReviewedTx& txn, const history::StatementEntry& entry)
{
    // The payee as it is compared, without the blanks at either end.
    return {txn.line, txn.cTxn.sDate, txn.cTxn.sAmount, KeyOf(txn).sPayee, entry.sStatement, {}};
}

} // namespace

std::string QIFAccountTaken(const qif::ReadReport& report)
{
    return report.sQifAccount;
}

std::string MadeText(const platform::LocalTime& objTime)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", objTime.objDate.lngYear,
                  objTime.objDate.lngMonth, objTime.objDate.lngDay, objTime.lngHour,
                  objTime.lngMinute, objTime.lngSecond);
    return text;
}

HistoryReview::HistoryReview(KeptHistory& objHistory, Subject subject, RepeatPolicy policy,
                             const RepeatQuestions* objQuestions)
    : objHistory_(objHistory), subject_(std::move(subject)), policy_(policy),
      objQuestions_(objQuestions)
{
    report_.policy = policy;
}

std::optional<std::vector<qif::Omission>>
HistoryReview::Review(const std::vector<qif::ReviewedTx>& transactions,
                      const qif::ReadReport& report)
{
    report_.transactions = static_cast<std::int64_t>(transactions.size());
    sQIFAccount_ = QIFAccountTaken(report);
    sDigest_ = history::FileDigest(subject_.sQIFPath).value_or("");
    repeatOf_.assign(transactions.size(), 0);
    history::History* objHistory = objHistory_.Reader();
    if (objHistory == nullptr) {
        report_.bolChecked = !objHistory_.GivenUp(); // there is no history: nothing repeats
        return std::vector<qif::Omission>();
    }
    // A file whose bytes could not be read again has no digest: it is the same as none.
    auto sameBytes = sDigest_.empty() ? history::Result<std::vector<history::StatementEntry>>()
                                      : objHistory->StatementsOfFile(sDigest_);
    if (!objHistory_.Check(sameBytes.status, kNotChecked)) {
        return std::vector<qif::Omission>();
    }
    sameBytes_ = std::move(sameBytes.value);
    for (const history::StatementEntry& entry : sameBytes_) {
        if (entry.sAccount != subject_.sAccount) {
            report_.otherAccounts.push_back(entry);
        } else if (!report_.sameFile && entry.sQIFAccount == sQIFAccount_) {
            report_.sameFile = entry;
        }
    }
    history::Earlier earlier;
    if (const auto period = SearchPeriod(transactions)) {
        auto found = objHistory->EarlierOf(subject_.sAccount, period->first, period->second);
        if (!objHistory_.Check(found.status, kNotChecked)) {
            return std::vector<qif::Omission>();
        }
        earlier = std::move(found.value);
    }
    report_.bolChecked = !objHistory_.TakeBegunAfresh();
    std::vector<qif::Omission> omissions = Describe(transactions, earlier);
    if (report_.sameFile) {
        // The same file again is told as such, not as repeats; with nothing to be left out of
        // it, leaving out means leaving out the whole.
        omissions.clear();
        for (std::size_t i = 0; i < transactions.size(); ++i) {
            omissions.push_back({i, AlreadyIn(*report_.sameFile)});
        }
    }
    std::optional<std::vector<qif::Omission>> decided = Decide(std::move(omissions));
    if (decided) {
        for (const qif::Omission& omission : *decided) {
            leftOut_.push_back({transactions[omission.index].line,
                                qif::LeftOutReason::Repeat,
                                {},
                                omission.sReason});
        }
        report_.bolNothingNew =
            report_.bolNothingNew || (!decided->empty() && decided->size() == transactions.size());
    }
    if (report_.bolNothingNew && transactions.empty()) {
        return std::nullopt; // a file without transactions is written unless stopped here
    }
    return decided;
}

std::vector<qif::Omission> HistoryReview::Describe(const std::vector<qif::ReviewedTx>& transactions,
                                                   const history::Earlier& earlier)
{
    std::map<std::int64_t, const history::StatementEntry*> byId;
    for (const history::StatementEntry& entry : earlier.statements) {
        byId[entry.id] = &entry;
    }
    const RepeatMatches matches = FindRepeats(transactions, earlier.transactions);
    std::vector<qif::Omission> omissions;
    std::vector<std::int64_t> named;
    for (const RepeatMatch& match : matches.exact) {
        repeatOf_[match.index] = match.statement;
        const history::StatementEntry& entry = *byId.at(match.statement);
        omissions.push_back({match.index, AlreadyIn(entry)});
        if (!report_.sameFile) {
            report_.records.push_back(RecordOf(transactions[match.index], entry));
        }
        if (std::find(named.begin(), named.end(), match.statement) == named.end()) {
            named.push_back(match.statement);
        }
    }
    if (report_.sameFile) {
        return omissions;
    }
    report_.count = static_cast<std::int64_t>(matches.exact.size());
    std::sort(named.begin(), named.end());
    for (const std::int64_t id : named) {
        report_.statements.push_back(*byId.at(id));
    }
    for (const PossibleMatch& match : matches.possible) {
        RepeatRecord record = RecordOf(transactions[match.index], *byId.at(match.statement));
        record.sEarlierDay = std::to_string(match.earlierDay);
        report_.possible.push_back(std::move(record));
    }
    return omissions;
}

std::optional<std::vector<qif::Omission>>
HistoryReview::Decide(std::vector<qif::Omission> omissions)
{
    if (policy_ == RepeatPolicy::Skip && report_.sameFile && omissions.empty()) {
        // The same file again holds no transaction to leave out, and nothing of it is new.
        report_.bolNothingNew = true;
        return omissions;
    }
    if (omissions.empty() || policy_ == RepeatPolicy::Warn || policy_ == RepeatPolicy::Keep) {
        return std::vector<qif::Omission>();
    }
    if (policy_ == RepeatPolicy::Ask && objQuestions_ != nullptr) {
        if (report_.sameFile) {
            if (!objQuestions_->objConvertAgain || !objQuestions_->objConvertAgain(report_)) {
                return std::nullopt;
            }
            return std::vector<qif::Omission>();
        }
        std::optional<bool> leaveOut = false;
        if (objQuestions_->objLeaveOut) {
            leaveOut = objQuestions_->objLeaveOut(report_);
        }
        if (!leaveOut) {
            return std::nullopt;
        }
        if (!*leaveOut) {
            return std::vector<qif::Omission>();
        }
    } else if (policy_ == RepeatPolicy::Ask) {
        return std::vector<qif::Omission>();
    }
    report_.bolLeftOut = !report_.sameFile; // the same file again is no repeats
    return omissions;
}

void HistoryReview::Record(const std::vector<qif::ReviewedTx>& transactions,
                           const qif::ReadReport& report, const platform::LocalTime& objMade)
{
    history::History* objHistory = objHistory_.Writer();
    if (objHistory == nullptr) {
        return;
    }
    std::int64_t replaces = 0;
    if (subject_.sStatement != kStandardOutput) {
        for (const history::StatementEntry& entry : sameBytes_) {
            if (entry.sAccount == subject_.sAccount && entry.sStatement == subject_.sStatement &&
                entry.sQIFAccount == sQIFAccount_) {
                replaces = entry.id; // newest first: the latest
                break;
            }
        }
    }
    const history::StatementEntry entry{0,
                                        subject_.sAccount,
                                        subject_.sStatement,
                                        subject_.sQIFFile,
                                        sDigest_,
                                        sQIFAccount_,
                                        MadeText(objMade),
                                        subject_.sProfile,
                                        DayNumber(report.sStartDate),
                                        DayNumber(report.sEndDate),
                                        report.written};
    std::size_t next = 0;
    const auto result = objHistory->Record(entry, replaces, [&](history::RecordedTransaction& row) {
        while (next < transactions.size() && transactions[next].bolLeftOut) {
            ++next;
        }
        if (next == transactions.size()) {
            return false;
        }
        const qif::ReviewedTx& txn = transactions[next];
        row.key = KeyOf(txn);
        row.sFitId = txn.sFitId;
        row.repeatOf = next < repeatOf_.size() ? repeatOf_[next] : 0;
        ++next;
        return true;
    });
    report_.bolRecorded = objHistory_.Check(result.status, "the statement was not recorded");
    static_cast<void>(objHistory_.TakeBegunAfresh()); // the next file is checked against it
}

} // namespace qif2ldx::app
