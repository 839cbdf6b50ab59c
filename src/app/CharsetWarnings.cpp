// SPDX-License-Identifier: MIT
#include "app/CharsetWarnings.h"

#include "platform/Utf8.h"

namespace qif2ldx::app {
namespace {

std::string Hex(unsigned char byte)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string("0x") + kDigits[byte >> 4] + kDigits[byte & 0xF];
}

// "a, b and 3 more": the listed ones of count, and how many more there are.
std::string Listed(std::vector<std::string> items, std::int64_t count)
{
    if (const auto more = count - static_cast<std::int64_t>(items.size()); more > 0) {
        items.push_back(std::to_string(more) + " more");
    }
    std::string sList;
    for (std::size_t i = 0; i < items.size(); ++i) {
        sList += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + items[i];
    }
    return sList;
}

std::string TransliteratedWarning(const qif::CharsetReport& report)
{
    std::vector<std::string> rewrites;
    for (const qif::TextRewrite& rewrite : report.rewrites) {
        rewrites.push_back(std::string(rewrite.sField) + " \"" +
                           platform::EscapeControls(rewrite.sText) + "\" as \"" +
                           platform::EscapeControls(rewrite.sWritten) + "\" (record on line " +
                           std::to_string(rewrite.line) + ")");
    }
    return "characters that " + report.sCharset + " lacks were transliterated in " +
           std::to_string(report.transliterated) +
           (report.transliterated == 1 ? " text: " : " texts: ") +
           Listed(std::move(rewrites), report.transliterated);
}

std::string UndefinedWarning(const qif::CharsetReport& report)
{
    const bool bolOne = report.undefined == 1;
    std::vector<std::string> lines;
    for (const std::int64_t line : report.undefinedLines) {
        lines.push_back(std::to_string(line));
    }
    const std::string sLines = Listed(std::move(lines), report.undefined);
    const std::string sWarning =
        bolOne ? "a byte that " + report.sCharset + " leaves undefined (" +
                     Hex(report.firstUndefined) + ") is in the record on line " + sLines
               : "bytes that " + report.sCharset + " leaves undefined (" +
                     Hex(report.firstUndefined) + " first) are in " +
                     std::to_string(report.undefined) + " records, on lines " + sLines;
    if (report.bolRewrite) {
        return sWarning +
               (bolOne ? "; the statement has \"?\" for it" : "; the statement has \"?\" for them");
    }
    return sWarning + (bolOne ? "; the statement keeps it" : "; the statement keeps them") +
           ", and some OFX readers stop reading there (--profile portable writes \"?\")";
}

} // namespace

std::vector<std::string> CharsetWarnings(const qif::CharsetReport& report)
{
    std::vector<std::string> warnings;
    if (report.transliterated > 0) {
        warnings.push_back(TransliteratedWarning(report));
    }
    if (report.undefined > 0) {
        warnings.push_back(UndefinedWarning(report));
    }
    return warnings;
}

} // namespace qif2ldx::app
