// SPDX-License-Identifier: MIT
#pragma once

#include "statement/OfxVisitor.h"

#include <functional>
#include <string>
#include <string_view>

namespace qif2ldx::statement {

// How reading an OFX file ended.
enum class OfxReadStatus
{
    Read,
    NotOfx, // the bytes are no OFX file that can be read
    Stopped // keepReading said no
};

struct OfxReadResult
{
    OfxReadStatus status = OfxReadStatus::NotOfx;
    std::string sForm;   // "sgml" or "xml"; empty when neither
    std::string sReason; // when NotOfx: why
};

// Asked every so often as the reading goes on; false stops it. Empty: never stop.
using KeepReading = std::function<bool()>;

// Reads an OFX statement file: the OFX 1.x header (KEY:VALUE lines) and its SGML body, with or
// without end tags; or an XML declaration, the OFX processing instruction and an XML body, in
// the encoding the declaration names (UTF-8 when it names none). Counts transactions as their
// STMTTRN elements. NotOfx, with the reason, for bytes that are no OFX file (no header, no OFX
// element, a tag that never ends, XML that is not well-formed). Time grows in step with the
// size of the bytes; memory with the text of the elements the visitor reads.
[[nodiscard]] OfxReadResult ReadOfx(std::string_view bytes, IOfxVisitor& objVisitor,
                                    const KeepReading& keepReading = {});

} // namespace qif2ldx::statement
