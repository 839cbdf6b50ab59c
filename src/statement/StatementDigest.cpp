// SPDX-License-Identifier: MIT
#include "statement/StatementDigest.h"

#include "platform/File.h"
#include "xml/ElementStream.h"
#include "xml/dom/TextRules.h"

#define XXH_STATIC_LINKING_ONLY // XXH3_state_t on the stack: no allocation per transaction
#include <xxhash.h>

namespace qif2ldx::statement {
namespace {

// Collects each STMTTRN's fields, and the period, as the file holds them.
class ReadBack final : public xml::IElementVisitor
{
public:
    explicit ReadBack(const std::vector<std::uint64_t>& expected) : expected_(expected) {}

    void StartElement(std::string_view sName) override
    {
        if (sName == "STMTTRN") {
            inTransaction_ = true;
            fields_ = {};
        }
        sText_.clear();
    }

    void Text(std::string_view sText) override { sText_ += sText; }

    void EndElement(std::string_view sName) override
    {
        if (sName == "STMTTRN") {
            EndTransaction();
            inTransaction_ = false;
        } else if (inTransaction_) {
            Keep(sName);
        } else if (sName == "DTSTART") {
            sStart = sText_;
        } else if (sName == "DTEND") {
            sEnd = sText_;
        }
        sText_.clear();
    }

    std::size_t count = 0;
    std::optional<std::string> difference;
    std::string sStart;
    std::string sEnd;

private:
    struct Held
    {
        std::string sFitId, sDate, sAmount, sCheckNum, sRefNum, sName, sMemo;
    };

    void Keep(std::string_view sName)
    {
        std::string* field = sName == "FITID"      ? &fields_.sFitId
                             : sName == "DTPOSTED" ? &fields_.sDate
                             : sName == "TRNAMT"   ? &fields_.sAmount
                             : sName == "CHECKNUM" ? &fields_.sCheckNum
                             : sName == "REFNUM"   ? &fields_.sRefNum
                             : sName == "NAME"     ? &fields_.sName
                             : sName == "MEMO"     ? &fields_.sMemo
                                                   : nullptr;
        if (field != nullptr) {
            *field = sText_;
        }
    }

    void EndTransaction()
    {
        const std::uint64_t digest = StatementDigest::Digest(
            {fields_.sFitId, fields_.sDate, fields_.sAmount, fields_.sCheckNum, fields_.sRefNum,
             fields_.sName, fields_.sMemo});
        if (!difference && (count >= expected_.size() || expected_[count] != digest)) {
            difference = "transaction " + std::to_string(count + 1) + " (FITID " + fields_.sFitId +
                         ") differs";
        }
        ++count;
    }

    const std::vector<std::uint64_t>& expected_;
    bool inTransaction_ = false;
    std::string sText_;
    Held fields_;
};

} // namespace

std::uint64_t StatementDigest::Digest(const Fields& fields)
{
    XXH3_state_t state;
    XXH3_64bits_reset(&state);
    for (const std::string_view field :
         {fields.sFitId, fields.sDate, fields.sAmount, fields.sCheckNum, fields.sRefNum,
          fields.sName, fields.sMemo}) {
        // Each field with its length, so that no two sets of fields run together alike.
        const std::uint64_t length = field.size();
        XXH3_64bits_update(&state, &length, sizeof length);
        XXH3_64bits_update(&state, field.data(), field.size());
    }
    return XXH3_64bits_digest(&state);
}

void StatementDigest::AddTransaction(const Fields& fields)
{
    // The digest is of the text as the document holds it.
    std::string storage[7];
    transactions_.push_back(Digest(
        {xml::StoredText(fields.sFitId, storage[0]), xml::StoredText(fields.sDate, storage[1]),
         xml::StoredText(fields.sAmount, storage[2]), xml::StoredText(fields.sCheckNum, storage[3]),
         xml::StoredText(fields.sRefNum, storage[4]), xml::StoredText(fields.sName, storage[5]),
         xml::StoredText(fields.sMemo, storage[6])}));
}

void StatementDigest::SetPeriod(std::string_view sStart, std::string_view sEnd)
{
    std::string storage;
    sStart_ = std::string(xml::StoredText(sStart, storage));
    sEnd_ = std::string(xml::StoredText(sEnd, storage));
}

std::optional<std::string> StatementDigest::Compare(const std::string& sFile,
                                                    std::string_view sHeader) const
{
    const platform::UniqueFd file = platform::OpenRegularFile(sFile);
    std::optional<std::string> bytes;
    if (file) {
        bytes = platform::ReadAll(file.Get());
    }
    if (!bytes) {
        return "the file cannot be read";
    }
    if (std::string_view(*bytes).substr(0, sHeader.size()) != sHeader) {
        return "the header is not the one written";
    }
    ReadBack objRead(transactions_);
    std::string sError;
    if (!xml::StreamElements(std::string_view(*bytes).substr(sHeader.size()), "windows-1252",
                             objRead, sError)) {
        return "the body is not well-formed XML (" + sError + ")";
    }
    if (objRead.difference) {
        return objRead.difference;
    }
    if (objRead.count != transactions_.size()) {
        return "it holds " + std::to_string(objRead.count) + " transactions, " +
               std::to_string(transactions_.size()) + " were written";
    }
    if (objRead.sStart != sStart_ || objRead.sEnd != sEnd_) {
        return "its period reads " + objRead.sStart + " to " + objRead.sEnd + ", not " + sStart_ +
               " to " + sEnd_;
    }
    return std::nullopt;
}

} // namespace qif2ldx::statement
