// SPDX-License-Identifier: MIT
#include "statement/StatementProfile.h"

#include "platform/Text.h"
#include "platform/Utf8.h"

#include <utility>

namespace qif2ldx::statement {
namespace {

constexpr std::size_t kMaxCheckNumberLength = 12;
constexpr std::size_t kMaxReferenceLength = 32;

// The Windows code page of every statement: the header's CHARSET gives its number, the writer
// and the read-back know it as "windows-" and the number.
constexpr std::string_view kCodePage = "1252";

std::string Last(const std::string& sText, std::size_t length)
{
    return platform::Utf8Length(sText) > length ? platform::Utf8Right(sText, length) : sText;
}

std::string Charset()
{
    return "windows-" + std::string(kCodePage);
}

// The nine header lines, with sSeparator between each name and its value.
std::string Header(std::string_view sSeparator)
{
    using Line = std::pair<std::string_view, std::string_view>;
    std::string sHeader;
    for (const auto& [sField, sValue] :
         {Line{"OFXHEADER", "100"}, Line{"DATA", "OFXSGML"}, Line{"VERSION", "102"},
          Line{"SECURITY", "NONE"}, Line{"ENCODING", "USASCII"}, Line{"CHARSET", kCodePage},
          Line{"COMPRESSION", "NONE"}, Line{"OLDFILEUID", "NONE"}, Line{"NEWFILEUID", "NONE"}}) {
        sHeader.append(sField).append(sSeparator).append(sValue).append("\r\n");
    }
    return sHeader;
}

} // namespace

const StatementProfile kLodestrandProfile{
    .sName = "lodestrand",
    .sCharset = Charset(),
    .sHeader = Header(": "),
};

const StatementProfile kPortableProfile{
    .sName = "portable",
    .sCharset = Charset(),
    .sHeader = Header(":"),
    .bolPlainAmounts = true,
    .bolContentFitIds = true,
    .bolTodayWhenEmpty = true,
    .bolCardTypesBySign = true,
    .bolDigitCheckNumbers = true,
    .bolTransliterate = true,
};

const StatementProfile* FindProfile(std::string_view sName)
{
    for (const StatementProfile* profile : kProfiles) {
        if (profile->sName == sName) {
            return profile;
        }
    }
    return nullptr;
}

NumberElement NumberElementFor(const StatementProfile& profile, const std::string& sNum)
{
    if (sNum.empty()) {
        return {};
    }
    if (!profile.bolDigitCheckNumbers || platform::IsAllDigits(sNum)) {
        return {"CHECKNUM", Last(sNum, kMaxCheckNumberLength)};
    }
    return {"REFNUM", Last(sNum, kMaxReferenceLength)};
}

} // namespace qif2ldx::statement
