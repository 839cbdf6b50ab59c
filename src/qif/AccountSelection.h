// SPDX-License-Identifier: MIT
#pragma once

#include "qif/ConversionFailure.h"
#include "qif/QIFText.h"
#include "qif/QifAccounts.h"
#include "qif/ReadSurvey.h"

#include <functional>
#include <optional>
#include <string>

namespace qif2ldx::qif {

// Hands every record of a text to the sink; false when the run was stopped.
using CollectRecords = std::function<bool(RecordSink& objSink)>;

// Which account of a file is read: the one named (from the command line), else the one the
// chooser picks where the file holds transactions of several accounts, else all of them.
struct QifAccountQuestion
{
    std::optional<std::string> sGiven;
    ChooseQifAccount objChoose;
};

// The survey of the records a conversion reads, or why there is none.
struct AccountSurvey
{
    std::optional<ReadSurvey> survey;
    ConversionFailure failure; // without a survey: UnknownQifAccount, Cancelled or Stopped
};

// Surveys a text's records for how they are read, once it is settled whose are read: the survey
// looks at every record once, counting each account's transactions; then the account is chosen
// (ChooseAccount), and one account of several is surveyed again, alone, so that only its dates
// and amounts decide how they are read.
[[nodiscard]] AccountSurvey SurveyAccount(const QIFText& text, std::optional<DateOrder> given,
                                          const QifAccountQuestion& question,
                                          const CollectRecords& objCollect);

} // namespace qif2ldx::qif
