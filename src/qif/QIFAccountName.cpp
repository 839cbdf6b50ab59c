// SPDX-License-Identifier: MIT
#include "qif/QIFAccountName.h"

#include "platform/File.h"
#include "platform/Windows1252.h"
#include "qif/CQIFFile.h"
#include "qif/QIFError.h"
#include "qif/QIFLines.h"
#include "qif/QIFText.h"
#include "qif/RecordCollector.h"

namespace qif2ldx::qif {

std::optional<std::string> FirstAccountName(const std::string& sPath)
{
    const platform::Result<platform::UniqueFd> file = platform::OpenRegularFile(sPath);
    if (!file) {
        return std::nullopt;
    }
    platform::Result<std::string> bytes = platform::ReadAll(file.value.Get(), kMaxQIFBytes);
    if (!bytes) {
        return std::nullopt;
    }
    try {
        const QIFText text(std::move(bytes.value));
        QIFLines lines(text.Text(), text.EndsLinesWithCr());
        QIFLine line;
        bool bolInAccount = false;
        while (lines.Next(line)) {
            const std::string_view sLine = line.text;
            if (sLine.starts_with('!')) {
                if (bolInAccount) {
                    return std::nullopt; // the block ended without a name
                }
                bolInAccount = SectionName(sLine) == "!ACCOUNT";
            } else if (bolInAccount && sLine.starts_with('^')) {
                return std::nullopt;
            } else if (bolInAccount && sLine.starts_with('N')) {
                std::string sName = platform::DecodeFileText(sLine.substr(1), text.IsUtf8());
                const std::size_t first = sName.find_first_not_of(" \t");
                if (first == std::string::npos) {
                    return std::nullopt;
                }
                return sName.substr(first, sName.find_last_not_of(" \t") - first + 1);
            }
        }
    } catch (const QIFError&) {
        // No text, or a text of one line without an end: no account either way.
    }
    return std::nullopt;
}

} // namespace qif2ldx::qif
