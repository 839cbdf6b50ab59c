// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace qif2ldx::statement {

// The rules in which the statements of one profile differ; everything else is the same in
// every profile. A plain constant, chosen once and passed to the writer and the reader.
struct StatementProfile
{
    std::string_view sName;
    // The character set the statement's body is written in, by the name the XML writer and the
    // read-back know it by; the header's CHARSET line names the same code page.
    std::string sCharset;
    std::string sHeader; // the nine header lines, each ending in CR LF
    // Amounts are written as plain decimals; the reader leaves out a record whose amount is
    // no number.
    bool bolPlainAmounts = false;
    // FITIDs from what the transaction holds, rather than its position in the file.
    bool bolContentFitIds = false;
    // An empty statement's DTSTART, DTEND and DTASOF are today's date rather than empty.
    bool bolTodayWhenEmpty = false;
    // A card transaction's type follows its sign as a bank one's does (negative: DEBIT),
    // rather than the other way round.
    bool bolCardTypesBySign = false;
    // CHECKNUM holds only a number of digits; any other number goes into REFNUM.
    bool bolDigitCheckNumbers = false;
    // A character the character set lacks is written transliterated and a byte it leaves
    // undefined as "?", rather than as a reference and as the byte.
    bool bolTransliterate = false;
};

// The statement Lodestrand reads: the default, unchanged.
extern const StatementProfile kLodestrandProfile;
// The statement other OFX readers read right.
extern const StatementProfile kPortableProfile;

// Every profile, the default first.
inline constexpr const StatementProfile* kProfiles[] = {&kLodestrandProfile, &kPortableProfile};

// The profile of that name ("lodestrand", "portable"); nullptr for any other.
[[nodiscard]] const StatementProfile* FindProfile(std::string_view sName);

// Where a transaction's "N" text goes: the element and its text; an empty name when the
// transaction has no number.
struct NumberElement
{
    std::string sName;
    std::string sText;
};
[[nodiscard]] NumberElement NumberElementFor(const StatementProfile& profile,
                                             const std::string& sNum);

} // namespace qif2ldx::statement
