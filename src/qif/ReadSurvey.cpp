// SPDX-License-Identifier: MIT
#include "qif/ReadSurvey.h"

#include "platform/Windows1252.h"

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
    objDates_.EndRecord(!IsOpeningBalance(record));
    if (record.kind != RawRecord::Kind::Transaction || !account_.filter.Takes(record.sAccount)) {
        return;
    }
    // Read in the decoded text, as the amounts are written: a Windows-1252 "\x80" or no-break
    // space is a currency sign or a blank, as it is in the file's UTF-8 twin.
    if (record.IsComplete()) {
        std::string storage;
        objSeparator_.Note(platform::DecodeFileText(
                               record.sAmount, encoding_ != TextEncoding::Windows1252, storage),
                           record.amountLine, record.sAmountLine);
    }
}

} // namespace qif2ldx::qif
