// SPDX-License-Identifier: MIT
#include "qif/QIFLines.h"

#include "qif/QIFError.h"

namespace qif2ldx::qif {

QIFLines::QIFLines(std::string_view text)
    : text_(text), hasLineEnd_(text.find('\n') != std::string_view::npos),
      nextCrLf_(text.find("\r\n"))
{}

bool QIFLines::Next(QIFLine& line)
{
    const std::size_t length = text_.size();
    if (pos_ + 1 > length || (pos_ + 1 == length && !hasLineEnd_)) {
        return false; // a single character left in a text without line ends is never read
    }
    if (nextCrLf_ != std::string_view::npos && nextCrLf_ < pos_) {
        nextCrLf_ = text_.find("\r\n", pos_);
    }
    std::size_t end = nextCrLf_;
    std::size_t terminator = 2;
    if (end == std::string_view::npos) {
        end = text_.find('\n', pos_);
        terminator = 1;
    }
    if (end == std::string_view::npos) {
        if (!hasLineEnd_) {
            throw QIFError("the file has no line ends (LF or CR LF); lines that end in CR alone "
                           "are not read");
        }
        end = length;
        terminator = 0;
    }
    line.text = text_.substr(pos_, end - pos_);
    line.number = ++number_;
    pos_ = end + terminator;
    return true;
}

} // namespace qif2ldx::qif
