// SPDX-License-Identifier: MIT
#include "qif/ReadSurvey.h"

namespace qif2ldx::qif {

void ReadSurvey::Date(const DateLine& date, const RawRecord& record)
{
    if (account_.filter.Takes(record.sAccount)) {
        objDates_.Note(date);
    }
}

void ReadSurvey::Record(const RawRecord& record)
{
    census_.Note(record);
    if (record.kind != RawRecord::Kind::Transaction || !account_.filter.Takes(record.sAccount)) {
        return;
    }
    // The separator's evidence is the same in the bytes as in the decoded text: only digits,
    // "," and "." count, and decoding leaves those alone.
    if (record.IsComplete()) {
        objSeparator_.Note(record.sAmount, record.amountLine, record.sAmountLine);
    }
}

} // namespace qif2ldx::qif
