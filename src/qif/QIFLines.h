// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string_view>

namespace qif2ldx::qif {

// One line of a QIF text, without its line end.
struct QIFLine
{
    std::string_view text;
    std::int64_t number = 0; // counting from 1
};

// The line ends a text has shown so far.
enum class LineEnds
{
    None, // no line end at all
    CrLf, // CR LF only
    Lf,   // LF alone only
    Cr,   // CR alone (a text without LF)
    Mixed // both CR LF and LF alone
};

// "none", "CR LF", "LF", "CR", "mixed".
[[nodiscard]] const char* LineEndsName(LineEnds ends);

// Splits a QIF text into lines. Each line ends at its own terminator: the next LF, together
// with a CR right before it (so a text of CR LF lines, one of bare LF lines and one that mixes
// both all split line by line). A text that holds no LF but CR has lines that end in CR. When
// the text holds a line end, a last line without one counts like any other; in a text without
// any, a single character is never read and anything longer is an error.
class QIFLines
{
public:
    QIFLines(std::string_view text, bool bolCrOnly);

    // The next line; false at the end of the text. Throws QIFError for a text of more than one
    // character without any line end.
    [[nodiscard]] bool Next(QIFLine& line);

    // Bytes of the text read so far, for progress reports.
    [[nodiscard]] std::size_t Position() const { return pos_; }
    // The line ends met so far; once the whole text is read, the text's.
    [[nodiscard]] LineEnds Ends() const;

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::int64_t number_ = 0;
    bool bolCrOnly_;
    bool hasLineEnd_;
    bool bolCrLf_ = false; // a line ended in CR LF
    bool bolLf_ = false;   // a line ended in LF alone
};

} // namespace qif2ldx::qif
