// SPDX-License-Identifier: MIT
#include "qif/CharsetNotes.h"

namespace qif2ldx::qif {

CharsetNotes::CharsetNotes(std::string_view sCharset, bool bolRewrite, CharsetReport& objReport)
    : objCharset_(sCharset), objReport_(objReport)
{
    objReport_.sCharset = sCharset;
    objReport_.bolRewrite = bolRewrite;
}

void CharsetNotes::Note(const records::CQIFTx& cTxn, std::int64_t line)
{
    // Every text is noted, whatever the ones before held.
    bool bolUndefined = NoteText(cTxn.sPayee, "payee", line);
    bolUndefined = NoteText(cTxn.sMemo, "memo", line) || bolUndefined;
    bolUndefined = NoteText(cTxn.sNum, "number", line) || bolUndefined;
    bolUndefined = NoteText(cTxn.sAmount, "amount", line) || bolUndefined;
    if (bolUndefined && objReport_.undefined++ < static_cast<std::int64_t>(kMaxListed)) {
        objReport_.undefinedLines.push_back(line);
    }
}

bool CharsetNotes::NoteText(const std::string& sText, const char* sField, std::int64_t line)
{
    const std::optional<unsigned char> undefined = objCharset_.UndefinedByte(sText);
    if (undefined && objReport_.firstUndefined == 0) {
        objReport_.firstUndefined = *undefined;
    }
    // An amount the statement cannot carry is no number, and only a default statement writes
    // one: it is never transliterated.
    if (objReport_.bolRewrite && std::string_view(sField) != "amount" &&
        !objCharset_.Holds(sText) &&
        objReport_.transliterated++ < static_cast<std::int64_t>(kMaxListed)) {
        objReport_.rewrites.push_back({line, sField, sText, objCharset_.Transliterated(sText)});
    }
    return undefined.has_value();
}

} // namespace qif2ldx::qif
