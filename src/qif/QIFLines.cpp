// SPDX-License-Identifier: MIT
#include "qif/QIFLines.h"

#include "qif/QIFError.h"

namespace qif2ldx::qif {

const char* LineEndsName(LineEnds ends)
{
    switch (ends) {
    case LineEnds::None:
        return "none";
    case LineEnds::CrLf:
        return "CR LF";
    case LineEnds::Lf:
        return "LF";
    case LineEnds::Cr:
        return "CR";
    case LineEnds::Mixed:
        return "mixed";
    }
    return "";
}

QIFLines::QIFLines(std::string_view text, bool bolCrOnly)
    : text_(text), bolCrOnly_(bolCrOnly),
      hasLineEnd_(text.find(bolCrOnly ? '\r' : '\n') != std::string_view::npos)
{}

bool QIFLines::Next(QIFLine& line)
{
    const std::size_t length = text_.size();
    if (pos_ + 1 > length || (pos_ + 1 == length && !hasLineEnd_)) {
        return false; // a single character left in a text without line ends is never read
    }
    std::size_t end = text_.find(bolCrOnly_ ? '\r' : '\n', pos_);
    std::size_t terminator = 1;
    if (end == std::string_view::npos) {
        if (!hasLineEnd_) {
            throw QIFError("the file has no line ends (LF, CR LF or CR)");
        }
        end = length;
        terminator = 0;
    } else if (!bolCrOnly_ && end > pos_ && text_[end - 1] == '\r') {
        --end; // CR LF: the line ends at the CR
        terminator = 2;
        bolCrLf_ = true;
    } else {
        bolLf_ = bolLf_ || !bolCrOnly_;
    }
    line.text = text_.substr(pos_, end - pos_);
    line.number = ++number_;
    pos_ = end + terminator;
    return true;
}

LineEnds QIFLines::Ends() const
{
    if (bolCrOnly_) {
        return LineEnds::Cr;
    }
    if (bolCrLf_ && bolLf_) {
        return LineEnds::Mixed;
    }
    return bolCrLf_ ? LineEnds::CrLf : bolLf_ ? LineEnds::Lf : LineEnds::None;
}

} // namespace qif2ldx::qif
