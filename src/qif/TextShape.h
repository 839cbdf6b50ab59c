// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace qif2ldx::qif {

// How the records of a text end.
enum class RecordEnds
{
    Caret,     // at a "^" line, as QIF has them
    BlankLines // at a blank line: a text without a single "^" whose blank-line groups each hold
               // a date and an amount
};

// "caret", "blank lines".
[[nodiscard]] const char* RecordEndsName(RecordEnds ends);

// What a text's lines show before any record is read: whether it is QIF at all, and how its
// records end.
struct TextShape
{
    // An OFX or QFX statement ("OFXHEADER:" or "<OFX>" within its first KiB, and no "^"
    // line), given where a QIF file was expected.
    bool bolOfx = false;
    // A text holding something besides blanks, but no "!Type:", "!Account" or "!Option:" line,
    // no "^" line and no line that reads as a date ("D" and a date) or an amount ("T" or "U"
    // and a number): a CSV file, a letter, anything but QIF.
    bool bolNotQif = false;
    RecordEnds ends = RecordEnds::Caret;
};

// The shape of a text whose lines end in LF or CR LF, or in CR where bolCrOnly; bolUtf8: the
// text is UTF-8, else Windows-1252.
[[nodiscard]] TextShape ShapeOf(std::string_view text, bool bolCrOnly, bool bolUtf8);

} // namespace qif2ldx::qif
