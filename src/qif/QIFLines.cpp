// SPDX-License-Identifier: MIT
#include "qif/QIFLines.h"

#include "qif/QIFError.h"

namespace qif2ldx::qif {

QIFLines::QIFLines(std::string_view text, bool bolCrOnly)
    : text_(text), bolCrOnly_(bolCrOnly),
      hasLineEnd_(text.find(bolCrOnly ? '\r' : '\n') != std::string_view::npos),
      nextCrLf_(bolCrOnly ? std::string_view::npos : text.find("\r\n"))
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
        end = text_.find(bolCrOnly_ ? '\r' : '\n', pos_);
        terminator = 1;
    }
    if (end == std::string_view::npos) {
        if (!hasLineEnd_) {
            throw QIFError("the file has no line ends (LF, CR LF or CR)");
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
