// SPDX-License-Identifier: MIT
#include "statement/StatementProfile.h"

#include "platform/Text.h"
#include "platform/Utf8.h"

namespace qif2ldx::statement {
namespace {

constexpr std::size_t kMaxCheckNumberLength = 12;
constexpr std::size_t kMaxReferenceLength = 32;

std::string Last(const std::string& sText, std::size_t length)
{
    return platform::Utf8Length(sText) > length ? platform::Utf8Right(sText, length) : sText;
}

} // namespace

const StatementProfile kLodestrandProfile{
    .sName = "lodestrand",
    .sHeader = "OFXHEADER: 100\r\nDATA: OFXSGML\r\nVERSION: 102\r\nSECURITY: NONE\r\n"
               "ENCODING: USASCII\r\nCHARSET: 1252\r\nCOMPRESSION: NONE\r\nOLDFILEUID: NONE\r\n"
               "NEWFILEUID: NONE\r\n",
};

const StatementProfile kPortableProfile{
    .sName = "portable",
    .sHeader = "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:NONE\r\n"
               "ENCODING:USASCII\r\nCHARSET:1252\r\nCOMPRESSION:NONE\r\nOLDFILEUID:NONE\r\n"
               "NEWFILEUID:NONE\r\n",
    .bolPlainAmounts = true,
    .bolContentFitIds = true,
    .bolTodayWhenEmpty = true,
    .bolCardTypesBySign = true,
    .bolDigitCheckNumbers = true,
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
