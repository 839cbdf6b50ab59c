// SPDX-License-Identifier: MIT
#pragma once

#include "statement/OfxReader.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qif2ldx::statement {

// What an OFX reader other than Lodestrand may misread in a statement.
enum class HazardKind
{
    AmountNotPlain,     // TRNAMT or BALAMT with more than sign, digits and "."
    EmptyElement,       // an element that needs a value holds none, or one without an end tag
    SelfClosedElement,  // <MEMO/>
    EmptyDate,          // DTSTART, DTEND, DTASOF, DTPOSTED or DTSERVER without a date
    RepeatedFitId,      // a FITID that an earlier transaction has
    PositionalFitIds,   // FITIDs that count positions, 0, 1, 2 …
    CheckNumNotNumeric, // CHECKNUM with more than digits
    HeaderBlank,        // a header value with blanks around it
    ByteOutsideCharset, // a byte that the declared character set does not hold
    ReferenceAbove255   // a character reference above 255 in an SGML body
};

// The kind's name in JSON: "amount-not-plain", "empty-element" …
[[nodiscard]] const char* HazardName(HazardKind kind);

struct Hazard
{
    HazardKind kind;
    std::int64_t transaction = 0; // counting from 1; 0 when not in a transaction
    std::int64_t line = 0;        // for a header field: its line; 0 otherwise
    std::string sElement;         // the element, or the header key (cut as sValue is)
    std::string sValue;           // what it holds (UTF-8), cut after kMaxShownChars with "…"
    std::string sMessage;         // what readers make of it, in a sentence for the user
};

// How many hazards a check lists in full; the rest it counts by kind.
inline constexpr std::size_t kListedHazards = 1000;

// The characters of a value or a name a hazard shows; longer ones are cut.
inline constexpr std::size_t kMaxShownChars = 256;

// What the check of one statement found; its status is the reading's (Read: checked).
struct CheckResult
{
    OfxReadStatus status = OfxReadStatus::NotOfx;
    std::string sReason; // when NotOfx: why
    std::string sForm;   // "sgml" or "xml"
    std::int64_t transactions = 0;
    // The first kListedHazards found, in the order their elements end (bytes outside the
    // character set and references above 255 first, statement-wide ones last).
    std::vector<Hazard> hazards;
    std::int64_t hazardCount = 0;                // all found, listed or not
    std::map<HazardKind, std::int64_t> unlisted; // those past the listed ones, by kind
};

// Checks the bytes of an OFX statement file (.LDX, .ofx, .qfx) for what other OFX readers
// misread, asking keepReading now and then whether to go on. Time grows in step with the size
// of the bytes; besides them, memory holds the listed hazards, the FITIDs seen and the text of
// the element being read. Only a checked statement has hazards. Never throws but std::bad_alloc.
[[nodiscard]] CheckResult CheckStatement(std::string_view bytes,
                                         const KeepReading& keepReading = {});

} // namespace qif2ldx::statement
