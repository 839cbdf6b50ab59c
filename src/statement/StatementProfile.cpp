// SPDX-License-Identifier: MIT
#include "statement/StatementProfile.h"

#include "platform/Utf8.h"

#include <algorithm>

namespace qif2ldx::statement {
namespace {

constexpr std::size_t kMaxCheckNumberLength = 12;
constexpr std::size_t kMaxReferenceLength = 32;

std::string Last(const std::string& sText, std::size_t length)
{
    return platform::Utf8Length(sText) > length ? platform::Utf8Right(sText, length) : sText;
}

bool IsAllDigits(const std::string& sText)
{
    return !sText.empty() &&
           std::all_of(sText.begin(), sText.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

const StatementProfile kLodestrandProfile{
    "lodestrand",
    "OFXHEADER: 100\r\nDATA: OFXSGML\r\nVERSION: 102\r\nSECURITY: NONE\r\nENCODING: USASCII\r\n"
    "CHARSET: 1252\r\nCOMPRESSION: NONE\r\nOLDFILEUID: NONE\r\nNEWFILEUID: NONE\r\n"};

const StatementProfile kPortableProfile{
    "portable",
    "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:NONE\r\nENCODING:USASCII\r\n"
    "CHARSET:1252\r\nCOMPRESSION:NONE\r\nOLDFILEUID:NONE\r\nNEWFILEUID:NONE\r\n",
    true,
    true,
    true,
    true,
    true};

const StatementProfile* FindProfile(std::string_view sName)
{
    for (const StatementProfile* profile : {&kLodestrandProfile, &kPortableProfile}) {
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
    if (!profile.bolDigitCheckNumbers || IsAllDigits(sNum)) {
        return {"CHECKNUM", Last(sNum, kMaxCheckNumberLength)};
    }
    return {"REFNUM", Last(sNum, kMaxReferenceLength)};
}

} // namespace qif2ldx::statement
