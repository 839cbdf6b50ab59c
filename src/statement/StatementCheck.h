// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
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
    ByteOutsideCharset  // a byte that the declared character set does not hold
};

// The kind's name in JSON: "amount-not-plain", "empty-element" …
[[nodiscard]] const char* HazardName(HazardKind kind);

struct Hazard
{
    HazardKind kind;
    std::int64_t transaction = 0; // counting from 1; 0 when not in a transaction
    std::int64_t line = 0;        // for a header field: its line; 0 otherwise
    std::string sElement;         // the element, or the header key
    std::string sValue;           // what it holds (UTF-8)
    std::string sMessage;         // what readers make of it, in a sentence for the user
};

// What the check of one statement found.
struct CheckResult
{
    bool bolReadable = false;
    std::string sError; // when not readable: why
    std::string sForm;  // "sgml" or "xml"
    std::int64_t transactions = 0;
    std::vector<Hazard> hazards; // in the order their elements end; statement-wide ones last
};

// Checks the bytes of an OFX statement file (.LDX, .ofx, .qfx) for what other OFX readers
// misread. Never throws but std::bad_alloc.
[[nodiscard]] CheckResult CheckStatement(std::string_view bytes);

} // namespace qif2ldx::statement
