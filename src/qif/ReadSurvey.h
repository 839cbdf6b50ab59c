// SPDX-License-Identifier: MIT
#pragma once

#include "qif/DatePlan.h"
#include "qif/QIFAmount.h"
#include "qif/RecordCollector.h"

namespace qif2ldx::qif {

// How the records of a text are read, decided before the first one is: the order of the
// dates, and the decimal separator the amounts show.
struct ReadPlan
{
    DateDecision dates;
    char decimalSeparator = '.';
};

// Looks at every record of a text once, before any is read, for what decides how all of them
// are read: the dates of the transaction records, and the amounts of those that will be
// written (a date and an amount).
class ReadSurvey
{
public:
    // bolUtf8: the text is UTF-8 rather than Windows-1252 (for the messages).
    explicit ReadSurvey(bool bolUtf8) : objDates_(bolUtf8) {}

    void Note(const RawRecord& record);
    [[nodiscard]] ReadPlan Plan() const { return {objDates_.Decide(), objSeparator_.Separator()}; }

private:
    DateSurvey objDates_;
    DecimalSeparatorEvidence objSeparator_;
};

} // namespace qif2ldx::qif
