// SPDX-License-Identifier: MIT
#include "statement/StatementCheck.h"

#include <gtest/gtest.h>

namespace qif2ldx::test {
namespace {

using statement::HazardKind;

// A statement as banks write them: SGML, leaves without end tags but one, two transactions.
const std::string kClean =
    "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:NONE\r\nENCODING:USASCII\r\n"
    "CHARSET:1252\r\nCOMPRESSION:NONE\r\nOLDFILEUID:NONE\r\nNEWFILEUID:NONE\r\n\r\n"
    "<OFX>\r\n<BANKMSGSRSV1><STMTTRNRS><STMTRS><CURDEF>USD<BANKACCTFROM><BANKID>1<ACCTID>2"
    "<ACCTTYPE>CHECKING</BANKACCTFROM><BANKTRANLIST><DTSTART>20261101<DTEND>20261130\r\n"
    "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20261101<TRNAMT>-1.00<FITID>a1<CHECKNUM>1001"
    "<NAME>Caf\xE9 &amp; Co</STMTTRN>\r\n"
    "<STMTTRN><TRNTYPE>CREDIT<DTPOSTED>20261102<TRNAMT>+.5<FITID>b2<NAME>Refund</NAME>"
    "<MEMO></MEMO></STMTTRN>\r\n"
    "</BANKTRANLIST><LEDGERBAL><BALAMT>0.00<DTASOF>20261130</LEDGERBAL></STMTRS></STMTTRNRS>"
    "</BANKMSGSRSV1></OFX>\r\n";

const std::string kCleanXml =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<?OFX OFXHEADER=\"200\" VERSION=\"211\" "
    "SECURITY=\"NONE\" OLDFILEUID=\"NONE\" NEWFILEUID=\"NONE\"?>\n<OFX><BANKMSGSRSV1><STMTTRNRS>"
    "<STMTRS><BANKTRANLIST><DTSTART>20261101</DTSTART><DTEND>20261130</DTEND><STMTTRN>"
    "<TRNTYPE>DEBIT</TRNTYPE><TRNAMT>-1.00</TRNAMT><FITID>a1</FITID><NAME>Caf\xC3\xA9</NAME>"
    "<MEMO/></STMTTRN></BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>\n";

std::string Replaced(std::string text,
                     const std::vector<std::pair<std::string, std::string>>& edits)
{
    for (const auto& [from, to] : edits) {
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
    }
    return text;
}

std::string Repeated(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

TEST(StatementCheck, CleanStatementsOfBothFormsHaveNoHazards)
{
    for (const std::string& bytes : {kClean, kCleanXml, "\xEF\xBB\xBF" + kCleanXml}) {
        const statement::CheckResult result = statement::CheckStatement(bytes);
        EXPECT_TRUE(result.bolReadable) << result.sError;
        EXPECT_EQ(result.transactions, bytes == kClean ? 2 : 1);
        for (const auto& hazard : result.hazards) {
            ADD_FAILURE() << statement::HazardName(hazard.kind) << " " << hazard.sElement;
        }
    }
}

TEST(StatementCheck, EachHazardIsFoundWhereItIs)
{
    const struct
    {
        std::string base;
        std::vector<std::pair<std::string, std::string>> edits;
        HazardKind kind;
        std::int64_t transaction, line;
        std::string element, value;
    } cases[] = {
        {kClean, {{"-1.00", "-1,000.00"}}, HazardKind::AmountNotPlain, 1, 0, "TRNAMT", "-1,000.00"},
        {kClean, {{"+.5", "$ 5"}}, HazardKind::AmountNotPlain, 2, 0, "TRNAMT", "$ 5"},
        {kClean,
         {{"<BALAMT>0.00", "<BALAMT>0,00"}},
         HazardKind::AmountNotPlain,
         0,
         0,
         "BALAMT",
         "0,00"},
        {kCleanXml, {{"-1.00", "1 000"}}, HazardKind::AmountNotPlain, 1, 0, "TRNAMT", "1 000"},
        {kClean, {{"Caf\xE9 &amp; Co", ""}}, HazardKind::EmptyElement, 1, 0, "NAME", ""},
        {kClean, {{"<FITID>b2", "<FITID></FITID>"}}, HazardKind::EmptyElement, 2, 0, "FITID", ""},
        {kClean,
         {{"<NAME>Refund</NAME>", "<NAME/>"}},
         HazardKind::SelfClosedElement,
         2,
         0,
         "NAME",
         ""},
        {kClean,
         {{"<DTSTART>20261101", "<DTSTART></DTSTART>"}},
         HazardKind::EmptyDate,
         0,
         0,
         "DTSTART",
         ""},
        {kClean, {{"<DTEND>20261130", "<DTEND>"}}, HazardKind::EmptyDate, 0, 0, "DTEND", ""},
        {kCleanXml, {{"20261130", ""}}, HazardKind::EmptyDate, 0, 0, "DTEND", ""},
        {kClean, {{"<FITID>b2", "<FITID>a1"}}, HazardKind::RepeatedFitId, 2, 0, "FITID", "a1"},
        {kClean,
         {{"<FITID>a1", "<FITID>0"}, {"<FITID>b2", "<FITID>1"}},
         HazardKind::PositionalFitIds,
         0,
         0,
         "FITID",
         "0 to 1"},
        {kClean,
         {{"<CHECKNUM>1001", "<CHECKNUM>ATM"}},
         HazardKind::CheckNumNotNumeric,
         1,
         0,
         "CHECKNUM",
         "ATM"},
        {kClean,
         {{"VERSION:102", "VERSION: 102"}},
         HazardKind::HeaderBlank,
         0,
         3,
         "VERSION",
         " 102"},
        {kCleanXml, {{"\"211\"", "\"211 \""}}, HazardKind::HeaderBlank, 0, 2, "VERSION", "211 "},
        {kClean, {{"Refund", "Ref\x81nd"}}, HazardKind::ByteOutsideCharset, 2, 0, "NAME", "0x81"},
        {kClean,
         {{"CHARSET:1252", "CHARSET:NONE"}},
         HazardKind::ByteOutsideCharset,
         1,
         0,
         "NAME",
         "0xE9"},
        {kClean,
         {{"ENCODING:USASCII", "ENCODING:UTF-8"}},
         HazardKind::ByteOutsideCharset,
         1,
         0,
         "NAME",
         "0xE9"},
    };
    for (const auto& c : cases) {
        const statement::CheckResult result = statement::CheckStatement(Replaced(c.base, c.edits));
        ASSERT_TRUE(result.bolReadable) << result.sError;
        ASSERT_EQ(result.hazards.size(), 1U) << c.edits[0].second;
        const statement::Hazard& hazard = result.hazards[0];
        EXPECT_EQ(statement::HazardName(hazard.kind), statement::HazardName(c.kind));
        EXPECT_EQ(hazard.transaction, c.transaction) << c.edits[0].second;
        EXPECT_EQ(hazard.line, c.line) << c.edits[0].second;
        EXPECT_EQ(hazard.sElement, c.element) << c.edits[0].second;
        EXPECT_EQ(hazard.sValue, c.value) << c.edits[0].second;
        EXPECT_FALSE(hazard.sMessage.empty());
    }
}

TEST(StatementCheck, WhatIsNoOfxFileIsUnreadable)
{
    const std::string kHeader = kClean.substr(0, kClean.find("<OFX>"));
    for (const std::string& bytes :
         {std::string(), std::string("!Type:Bank\r\nD01/11/2026\r\n^\r\n"), kHeader,
          kHeader + "<OFX><BANKMSGSRSV1", kHeader + "<BANK>x</BANK>",
          Replaced(kClean, {{"VERSION:102", "VERSION 102"}}),
          kHeader + "<OFX>" + Repeated("<MEMO>", 3000) + "</OFX>",
          Replaced(kCleanXml, {{"</OFX>", "</OFY>"}})}) {
        const statement::CheckResult result = statement::CheckStatement(bytes);
        EXPECT_FALSE(result.bolReadable) << bytes;
        EXPECT_FALSE(result.sError.empty());
        EXPECT_TRUE(result.hazards.empty());
    }
}

} // namespace
} // namespace qif2ldx::test
