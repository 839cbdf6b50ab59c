// SPDX-License-Identifier: MIT
#include "qif/ReadSurvey.h"

namespace qif2ldx::qif {

void ReadSurvey::Note(const RawRecord& record)
{
    if (record.kind != RawRecord::Kind::Transaction) {
        return;
    }
    for (const DateLine& date : record.dates) {
        objDates_.Note(date);
    }
    // The separator's evidence is the same in the bytes as in the decoded text: only digits,
    // "," and "." count, and decoding leaves those alone.
    if (record.IsComplete()) {
        objSeparator_.Note(record.sAmount);
    }
}

} // namespace qif2ldx::qif
