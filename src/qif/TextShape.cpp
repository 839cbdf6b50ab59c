// SPDX-License-Identifier: MIT
#include "qif/TextShape.h"

#include "platform/Text.h"
#include "platform/Windows1252.h"
#include "qif/QIFAmount.h"
#include "qif/QIFDate.h"

#include <algorithm>

namespace qif2ldx::qif {
namespace {

// How far into a text an OFX header or its root element is looked for.
constexpr std::size_t kOfxLookout = 1024;

bool IsBlankLine(std::string_view line)
{
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

// Whether some line of the text begins with "^". Most QIF texts have one in their first lines.
bool HasCaretLine(std::string_view text)
{
    for (std::size_t pos = text.find('^'); pos != std::string_view::npos;
         pos = text.find('^', pos + 1)) {
        if (pos == 0 || text[pos - 1] == '\n' || text[pos - 1] == '\r') {
            return true;
        }
    }
    return false;
}

bool HoldsOfx(std::string_view text)
{
    const std::string head = platform::ToUpperAscii(text.substr(0, kOfxLookout));
    return head.find("OFXHEADER:") != std::string::npos || head.find("<OFX>") != std::string::npos;
}

// A line that only QIF has: a section or option line, a date or an amount.
bool IsQifLine(std::string_view line, bool bolUtf8)
{
    if (line.empty()) {
        return false;
    }
    if (line.front() == '!') {
        const std::string name = platform::ToUpperAscii(line.substr(0, 8));
        return name.starts_with("!TYPE") || name.starts_with("!ACCOUNT") ||
               name.starts_with("!OPTION");
    }
    if (line.front() == 'D') {
        if (ReadNamedMonthDate(line) != 0) {
            return true;
        }
        const std::string sText = DateText(line); // the reading keeps views into it
        DateReading reading(sText);
        return std::any_of(std::begin(kDateOrders), std::end(kDateOrders),
                           [&reading](DateOrder order) { return reading.In(order) != 0; });
    }
    if (line.front() == 'T' || line.front() == 'U') {
        const std::string field = platform::DecodeFileText(line.substr(1), bolUtf8);
        return ReadAmount(field, '.').has_value() || ReadAmount(field, ',').has_value();
    }
    return false;
}

// Reads a text without "^" lines group by group, a group being the lines between blank ones.
class Groups
{
public:
    explicit Groups(bool bolUtf8) : bolUtf8_(bolUtf8) {}

    void Line(std::string_view line)
    {
        if (IsBlankLine(line)) {
            End();
            return;
        }
        bolQif_ = bolQif_ || IsQifLine(line, bolUtf8_);
        if (line.front() == 'D' && HasDigit(line.substr(1))) {
            bolDate_ = true;
        } else if ((line.front() == 'T' || line.front() == 'U') && line.size() > 1) {
            bolAmount_ = true;
        } else if (line.front() == '!') {
            return; // a section line holds nothing of a record
        }
        bolOpen_ = true;
    }

    void End()
    {
        if (bolOpen_) {
            ++groups_;
            bolComplete_ = bolComplete_ && bolDate_ && bolAmount_;
        }
        bolOpen_ = bolDate_ = bolAmount_ = false;
    }

    // Several groups, each with a date and an amount: each is a record.
    [[nodiscard]] bool AreRecords() const { return groups_ >= 2 && bolComplete_; }
    [[nodiscard]] bool SawQif() const { return bolQif_; }

private:
    bool bolUtf8_;
    int groups_ = 0;
    bool bolComplete_ = true;
    bool bolOpen_ = false;
    bool bolDate_ = false;
    bool bolAmount_ = false;
    bool bolQif_ = false;
};

} // namespace

const char* RecordEndsName(RecordEnds ends)
{
    return ends == RecordEnds::BlankLines ? "blank lines" : "caret";
}

TextShape ShapeOf(std::string_view text, bool bolCrOnly, bool bolUtf8)
{
    TextShape shape;
    if (HasCaretLine(text)) {
        return shape;
    }
    shape.bolOfx = HoldsOfx(text);
    if (shape.bolOfx) {
        return shape;
    }
    Groups groups(bolUtf8);
    const char lineEnd = bolCrOnly ? '\r' : '\n';
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t end = text.find(lineEnd, pos);
        end = end == std::string_view::npos ? text.size() : end;
        std::string_view line = text.substr(pos, end - pos);
        if (!bolCrOnly && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        groups.Line(line);
        pos = end + 1;
    }
    groups.End();
    // Blanks and line ends alone are an empty file, which gives an empty statement.
    shape.bolNotQif =
        !groups.SawQif() && text.find_first_not_of(" \t\r\n") != std::string_view::npos;
    shape.ends = groups.AreRecords() ? RecordEnds::BlankLines : RecordEnds::Caret;
    return shape;
}

} // namespace qif2ldx::qif
