// SPDX-License-Identifier: MIT
#include "statement/StatementDigest.h"

#include "platform/File.h"
#include "xml/ElementStream.h"
#include "xml/dom/TextRules.h"

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
            fields_.Clear(); // keeps the strings' room for the next transaction
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
    struct TransactionFields
    {
        std::string sFitId, sDate, sAmount, sCheckNum, sRefNum, sName, sMemo;

        void Clear()
        {
            for (std::string* field :
                 {&sFitId, &sDate, &sAmount, &sCheckNum, &sRefNum, &sName, &sMemo}) {
                field->clear();
            }
        }
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
    TransactionFields fields_;
};

} // namespace

std::uint64_t StatementDigest::Digest(const Fields& fields)
{
    // Each field with its length, so that no two sets of fields run together alike; hashed in
    // one go, which is far quicker than feeding the pieces one by one.
    thread_local std::string sBuffer;
    sBuffer.clear();
    for (const std::string_view field :
         {fields.sFitId, fields.sDate, fields.sAmount, fields.sCheckNum, fields.sRefNum,
          fields.sName, fields.sMemo}) {
        const std::uint64_t length = field.size();
        sBuffer.append(reinterpret_cast<const char*>(&length), sizeof length);
        sBuffer.append(field);
    }
    return XXH3_64bits(sBuffer.data(), sBuffer.size());
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

std::optional<std::string> StatementDigest::Compare(int fd, std::string_view sHeader) const
{
    // The file is read a piece at a time, so that the read-back needs no second copy of it.
    std::string sRead(sHeader.size(), '\0');
    if (!platform::ReadExactlyAt(fd, sRead.data(), sRead.size(), 0)) {
        return "the file cannot be read";
    }
    if (sRead != sHeader) {
        return "the header is not the one written";
    }
    ReadBack objRead(transactions_);
    const xml::StreamResult read =
        xml::StreamFileElements(fd, sHeader.size(), sCharset_.c_str(), objRead);
    if (!read) {
        return "the body is not well-formed XML (" + read.sReason + ")";
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
