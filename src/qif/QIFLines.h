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

// Splits a QIF text into lines. A line ends at the next CR LF anywhere in the rest of the text;
// only where none follows does it end at LF. A text that holds no LF but CR has lines that end
// in CR. When the text holds a line end, a last line without one counts like any other; in a
// text without any, a single character is never read and anything longer is an error.
class QIFLines
{
public:
    QIFLines(std::string_view text, bool bolCrOnly);

    // The next line; false at the end of the text. Throws QIFError for a text of more than one
    // character without any line end.
    [[nodiscard]] bool Next(QIFLine& line);

    // Bytes of the text read so far, for progress reports.
    [[nodiscard]] std::size_t Position() const { return pos_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::int64_t number_ = 0;
    bool bolCrOnly_;
    bool hasLineEnd_;
    // Where the next CR LF starts, looked up again only once the reading has passed it.
    std::size_t nextCrLf_;
};

} // namespace qif2ldx::qif
