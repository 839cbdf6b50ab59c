// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qif2ldx::statement {

// What a statement was written to hold, kept small: a digest of each transaction's FITID,
// DTPOSTED, TRNAMT, CHECKNUM, REFNUM, NAME and MEMO as the document stores them, and the
// period. The written file is read back against it before it takes its place.
class StatementDigest
{
public:
    // The fields of one transaction, in their order in the statement; sCheckNum and sRefNum
    // empty when the transaction has none.
    struct Fields
    {
        std::string_view sFitId, sDate, sAmount, sCheckNum, sRefNum, sName, sMemo;
    };

    void AddTransaction(const Fields& fields);
    void SetPeriod(std::string_view sStart, std::string_view sEnd);
    // The character set the body was written in (the profile's); UTF-8 until set.
    void SetCharset(std::string_view sCharset) { sCharset_ = sCharset; }

    // Reads the statement file open on fd (the header, then the body as XML in the character
    // set) and compares it; nullopt when it holds exactly what was written, the first
    // difference otherwise.
    [[nodiscard]] std::optional<std::string> Compare(int fd, std::string_view sHeader) const;

    [[nodiscard]] static std::uint64_t Digest(const Fields& fields);

private:
    std::vector<std::uint64_t> transactions_;
    std::string sStart_;
    std::string sEnd_;
    std::string sCharset_ = "UTF-8";
};

} // namespace qif2ldx::statement
