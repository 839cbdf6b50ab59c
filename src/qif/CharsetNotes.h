// SPDX-License-Identifier: MIT
#pragma once

#include "platform/CharsetText.h"
#include "records/CQIFTx.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qif2ldx::qif {

// A text of a transaction that the statement writes otherwise than it reads.
struct TextRewrite
{
    std::int64_t line = 0; // the record's first line
    const char* sField;    // "payee", "memo" or "number"
    std::string sText;     // as read
    std::string sWritten;  // as written
};

// What of the written transactions' texts the statement's character set cannot carry as they
// are.
struct CharsetReport
{
    std::string sCharset;              // the statement's character set
    bool bolRewrite = false;           // the statement transliterates them (see CharsetNotes)
    std::int64_t transliterated = 0;   // texts with characters the set lacks, when rewritten
    std::vector<TextRewrite> rewrites; // the first of them
    std::int64_t undefined = 0;        // records with a byte the set leaves undefined
    std::vector<std::int64_t> undefinedLines; // the first of them
    unsigned char firstUndefined = 0;         // the first such byte
};

// Notes what of each transaction's texts (payee, memo, number and amount) the statement's
// character set cannot carry as it is: a byte the set leaves undefined (which some readers stop
// at) and, when the statement rewrites such texts, a character the set lacks, with the text as
// the statement writes it (platform::CharsetText's Transliterated).
class CharsetNotes
{
public:
    // How many rewritten texts and lines of undefined bytes the report keeps.
    static constexpr std::size_t kMaxListed = 10;

    CharsetNotes(std::string_view sCharset, bool bolRewrite, CharsetReport& objReport);

    void Note(const records::CQIFTx& cTxn, std::int64_t line);

private:
    // Notes one text; true when it holds a byte that the set leaves undefined.
    bool NoteText(const std::string& sText, const char* sField, std::int64_t line);

    platform::CharsetText objCharset_;
    CharsetReport& objReport_;
};

} // namespace qif2ldx::qif
