// SPDX-License-Identifier: MIT
#pragma once

#include "qif/DatePlan.h"
#include "qif/QIFAmount.h"
#include "qif/QIFText.h"
#include "qif/QifAccounts.h"
#include "qif/RecordCollector.h"

#include <optional>

namespace qif2ldx::qif {

// How the records of a text are read, decided before the first one is: the order of the
// dates, and the decimal separator the amounts show.
struct ReadPlan
{
    DateDecision dates;
    SeparatorDecision decimal;
    TextEncoding encoding = TextEncoding::Windows1252;
    QifAccountChoice account;         // the account read
    std::vector<QifAccount> accounts; // every account the file names
};

// Looks at every record of a text once, before any is read, for what decides how all of them
// are read: the dates of the transaction records, and the amounts of those that will be
// written (a date and an amount); of the records of one account, where a filter says so. It
// counts the transactions of every account all the same.
class ReadSurvey final : public RecordSink
{
public:
    // given: the order every date is read in, whatever the file says; account: the account
    // whose records are surveyed (its filter), which the plan names.
    ReadSurvey(TextEncoding encoding, std::optional<DateOrder> given,
               QifAccountChoice account = QifAccountChoice())
        : encoding_(encoding), objDates_(encoding != TextEncoding::Windows1252, given),
          objSeparator_(encoding != TextEncoding::Windows1252), account_(std::move(account)),
          census_(encoding != TextEncoding::Windows1252)
    {}

    void Date(const DateLine& date, const RawRecord& record) override;
    void Record(const RawRecord& record) override;
    // The plan; chosen: the order the dates no "!Option:" line governs are read in, instead of
    // the one the survey decided (a file that reads two ways, where the person converting chose).
    [[nodiscard]] ReadPlan Plan(std::optional<DateOrder> chosen = std::nullopt) const
    {
        return {objDates_.Decide(chosen), objSeparator_.Decide(), encoding_, account_,
                census_.Accounts()};
    }
    [[nodiscard]] const QifAccountCensus& Census() const { return census_; }
    // The account the plan names, for a survey that looked at that account's records already
    // (all of the text's, the account's filter taking all).
    void TakeAccount(QifAccountChoice account) { account_ = std::move(account); }

private:
    TextEncoding encoding_;
    DateSurvey objDates_;
    DecimalSeparatorEvidence objSeparator_;
    QifAccountChoice account_;
    QifAccountCensus census_;
};

} // namespace qif2ldx::qif
