// SPDX-License-Identifier: MIT
#include "statement/StatementCheck.h"

#include <gmock/gmock.h>
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

// The clean XML statement as written in another encoding, "é" in its bytes.
std::string DeclaredXml(const std::string& sEncoding, const std::string& sE)
{
    return Replaced(kCleanXml, {{"UTF-8", sEncoding}, {"Caf\xC3\xA9", "Caf" + sE}});
}

TEST(StatementCheck, CleanStatementsOfBothFormsHaveNoHazards)
{
    for (const std::string& bytes :
         {kClean, kCleanXml, "\xEF\xBB\xBF" + kCleanXml, DeclaredXml("windows-1252", "\xE9"),
          DeclaredXml("ISO-8859-1", "\xE9"), Replaced(kCleanXml, {{" encoding=\"UTF-8\"", ""}}),
          Replaced(kCleanXml, {{"Caf\xC3\xA9", "&#1052;"}})}) {
        const statement::CheckResult result = statement::CheckStatement(bytes);
        EXPECT_EQ(result.status, statement::OfxReadStatus::Read) << result.sReason;
        EXPECT_EQ(result.transactions, bytes == kClean ? 2 : 1);
        EXPECT_EQ(result.hazardCount, 0);
        for (const auto& hazard : result.hazards) {
            ADD_FAILURE() << statement::HazardName(hazard.kind) << " " << hazard.sElement;
        }
    }
}

struct HazardCase
{
    std::string base;
    std::vector<std::pair<std::string, std::string>> edits;
    HazardKind kind;
    std::string where; // "transaction:header line element"
    std::string value;
};

// How a case is named in test output.
void PrintTo(const HazardCase& c, std::ostream* out)
{
    *out << statement::HazardName(c.kind) << " at " << c.where;
}

class StatementCheckHazard : public testing::TestWithParam<HazardCase>
{};

TEST_P(StatementCheckHazard, IsFoundWhereItIs)
{
    const HazardCase& c = GetParam();
    const statement::CheckResult result = statement::CheckStatement(Replaced(c.base, c.edits));
    ASSERT_EQ(result.status, statement::OfxReadStatus::Read) << result.sReason;
    ASSERT_EQ(result.hazards.size(), 1U);
    EXPECT_EQ(result.hazardCount, 1);
    const statement::Hazard& hazard = result.hazards[0];
    EXPECT_EQ(statement::HazardName(hazard.kind), statement::HazardName(c.kind));
    EXPECT_EQ(std::to_string(hazard.transaction) + ":" + std::to_string(hazard.line) + " " +
                  hazard.sElement,
              c.where);
    EXPECT_EQ(hazard.sValue, c.value);
    EXPECT_FALSE(hazard.sMessage.empty());
}

const std::string kLong(300, 'A');
const std::string kLongShown = kLong.substr(0, statement::kMaxShownChars) + "\u2026";

INSTANTIATE_TEST_SUITE_P(
    Values, StatementCheckHazard,
    testing::Values(
        HazardCase{kClean,
                   {{"-1.00", "-1,000.00"}},
                   HazardKind::AmountNotPlain,
                   "1:0 TRNAMT",
                   "-1,000.00"},
        HazardCase{kClean, {{"+.5", "$ 5"}}, HazardKind::AmountNotPlain, "2:0 TRNAMT", "$ 5"},
        HazardCase{kClean,
                   {{"<BALAMT>0.00", "<BALAMT>0,00"}},
                   HazardKind::AmountNotPlain,
                   "0:0 BALAMT",
                   "0,00"},
        HazardCase{
            kCleanXml, {{"-1.00", "1 000"}}, HazardKind::AmountNotPlain, "1:0 TRNAMT", "1 000"},
        // References resolve in the text a check reads; an unknown one stays as written.
        HazardCase{kClean,
                   {{"-1.00", "-1&#44;000&#x2E;00"}},
                   HazardKind::AmountNotPlain,
                   "1:0 TRNAMT",
                   "-1,000.00"},
        HazardCase{kClean,
                   {{"<CHECKNUM>1001", "<CHECKNUM>1&amp;2&#xE9;&no;&"}},
                   HazardKind::CheckNumNotNumeric,
                   "1:0 CHECKNUM",
                   "1&2\xC3\xA9&no;&"},
        HazardCase{kClean,
                   {{"<CHECKNUM>1001", "<CHECKNUM>" + kLong}},
                   HazardKind::CheckNumNotNumeric,
                   "1:0 CHECKNUM",
                   kLongShown},
        HazardCase{kClean,
                   {{"<CHECKNUM>1001", "<CHECKNUM>ATM"}},
                   HazardKind::CheckNumNotNumeric,
                   "1:0 CHECKNUM",
                   "ATM"}));

INSTANTIATE_TEST_SUITE_P(
    EmptyElements, StatementCheckHazard,
    testing::Values(
        HazardCase{kClean, {{"Caf\xE9 &amp; Co", ""}}, HazardKind::EmptyElement, "1:0 NAME", ""},
        HazardCase{
            kClean, {{"<FITID>b2", "<FITID></FITID>"}}, HazardKind::EmptyElement, "2:0 FITID", ""},
        HazardCase{kClean,
                   {{"<TRNTYPE>DEBIT", "<TRNTYPE> &#32;</TRNTYPE>"}},
                   HazardKind::EmptyElement,
                   "1:0 TRNTYPE",
                   "  "},
        HazardCase{kClean,
                   {{"<NAME>Refund</NAME>", "<NAME/>"}},
                   HazardKind::SelfClosedElement,
                   "2:0 NAME",
                   ""},
        HazardCase{kClean,
                   {{"<DTSTART>20261101", "<DTSTART></DTSTART>"}},
                   HazardKind::EmptyDate,
                   "0:0 DTSTART",
                   ""},
        HazardCase{
            kClean, {{"<DTEND>20261130", "<DTEND>"}}, HazardKind::EmptyDate, "0:0 DTEND", ""},
        HazardCase{kCleanXml, {{"20261130", ""}}, HazardKind::EmptyDate, "0:0 DTEND", ""}));

INSTANTIATE_TEST_SUITE_P(
    FitIdsAndHeader, StatementCheckHazard,
    testing::Values(
        HazardCase{
            kClean, {{"<FITID>b2", "<FITID>a1"}}, HazardKind::RepeatedFitId, "2:0 FITID", "a1"},
        HazardCase{kClean,
                   {{"<FITID>a1", "<FITID>0"}, {"<FITID>b2", "<FITID>1"}},
                   HazardKind::PositionalFitIds,
                   "0:0 FITID",
                   "0 to 1"},
        HazardCase{kClean,
                   {{"VERSION:102", "VERSION: 102"}},
                   HazardKind::HeaderBlank,
                   "0:3 VERSION",
                   " 102"},
        HazardCase{
            kCleanXml, {{"\"211\"", "\"211 \""}}, HazardKind::HeaderBlank, "0:2 VERSION", "211 "}));

INSTANTIATE_TEST_SUITE_P(
    Bytes, StatementCheckHazard,
    testing::Values(
        HazardCase{
            kClean, {{"Refund", "Ref\x81nd"}}, HazardKind::ByteOutsideCharset, "2:0 NAME", "0x81"},
        HazardCase{kClean,
                   {{"CHARSET:1252", "CHARSET:NONE"}},
                   HazardKind::ByteOutsideCharset,
                   "1:0 NAME",
                   "0xE9"},
        HazardCase{kClean,
                   {{"ENCODING:USASCII", "ENCODING:UTF-8"}},
                   HazardKind::ByteOutsideCharset,
                   "1:0 NAME",
                   "0xE9"},
        // libofx drops the characters of references above 255 in SGML; XML's own are read.
        HazardCase{kClean,
                   {{"Refund", "R&#233;f &#1052;o&#x41B;"}},
                   HazardKind::ReferenceAbove255,
                   "2:0 NAME",
                   "&#1052;"},
        HazardCase{kClean,
                   {{"Caf\xE9 &amp; Co", "&#x20AC;"}},
                   HazardKind::ReferenceAbove255,
                   "1:0 NAME",
                   "&#x20AC;"},
        // Bytes are judged by the encoding the XML declaration names.
        HazardCase{DeclaredXml("ISO-8859-1", "\x85"),
                   {},
                   HazardKind::ByteOutsideCharset,
                   "1:0 NAME",
                   "0x85"}));

TEST(StatementCheck, ListsTheFirstThousandHazardsAndCountsTheRestByKind)
{
    const std::string bytes = Replaced(
        kClean,
        {{"<OFX>", "<OFX>" + Repeated("<A>\x81", 1005)},
         {"<FITID>b2", "<FITID>a1"},
         {"</BANKTRANLIST>",
          Repeated("<STMTTRN><TRNTYPE>DEBIT<TRNAMT>1<FITID>a1</STMTTRN>", 2) + "</BANKTRANLIST>"}});
    const statement::CheckResult result = statement::CheckStatement(bytes);
    ASSERT_EQ(result.status, statement::OfxReadStatus::Read) << result.sReason;
    EXPECT_EQ(result.hazards.size(), statement::kListedHazards);
    EXPECT_EQ(result.hazardCount, 1008);
    EXPECT_EQ(result.unlisted,
              (std::map<HazardKind, std::int64_t>{{HazardKind::RepeatedFitId, 3},
                                                  {HazardKind::ByteOutsideCharset, 5}}));
}

TEST(StatementCheck, WhatIsNoOfxFileIsUnreadable)
{
    const std::string kHeader = kClean.substr(0, kClean.find("<OFX>"));
    for (const std::string& bytes :
         {std::string(), std::string("!Type:Bank\r\nD01/11/2026\r\n^\r\n"), kHeader,
          kHeader + "<OFX><BANKMSGSRSV1", kHeader + "<BANK>x</BANK>",
          Replaced(kClean, {{"VERSION:102", "VERSION 102"}}),
          kHeader + "<OFX>" + Repeated("<MEMO>", 3000) + "</OFX>",
          Replaced(kCleanXml, {{"</OFX>", "</OFY>"}}), DeclaredXml("UTF-8", "\xE9")}) {
        const statement::CheckResult result = statement::CheckStatement(bytes);
        EXPECT_EQ(result.status, statement::OfxReadStatus::NotOfx) << bytes;
        EXPECT_FALSE(result.sReason.empty());
        EXPECT_TRUE(result.hazards.empty());
    }
}

// Files made to make a reader go back over its input: each is read once through.
TEST(StatementCheck, HostileFilesGetTheirAnswer)
{
    const std::string kHeader = kClean.substr(0, kClean.find("<OFX>"));
    const std::string kXml = "<?xml version=\"1.0\"?>\n<OFX>";
    const struct
    {
        std::string bytes;
        statement::OfxReadStatus status;
        std::string error;
    } cases[] = {
        {kHeader + "<OFX>" + Repeated("<A", 20000), statement::OfxReadStatus::NotOfx,
         "a tag that starts on line 1 of the body never ends"},
        {kXml + Repeated("<A", 20000), statement::OfxReadStatus::NotOfx, "not well-formed"},
        {kHeader + "<OFX><NAME>" + Repeated("&", 200000) + "</OFX>", statement::OfxReadStatus::Read,
         ""},
    };
    for (const auto& c : cases) {
        const statement::CheckResult result = statement::CheckStatement(c.bytes);
        EXPECT_EQ(result.status, c.status) << result.sReason;
        EXPECT_THAT(result.sReason, testing::HasSubstr(c.error));
    }
    const statement::CheckResult amount =
        statement::CheckStatement(Replaced(kClean, {{"-1.00", Repeated("&", 200000)}}));
    ASSERT_EQ(amount.hazards.size(), 1U);
    EXPECT_EQ(amount.hazards[0].sValue, std::string(statement::kMaxShownChars, '&') + "\u2026");
}

// A statement of about 3 MB in either form, so that each pass asks more than once.
std::vector<std::string> LargeStatements()
{
    const std::string kTransaction = "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20261101<TRNAMT>-1.00"
                                     "<FITID>x<NAME>Shop</STMTTRN>\r\n";
    const std::string kXmlTransaction =
        "<STMTTRN><TRNTYPE>DEBIT</TRNTYPE><TRNAMT>-1.00</TRNAMT><FITID>x</FITID></STMTTRN>\n";
    return {
        Replaced(kClean, {{"<BANKTRANLIST>", "<BANKTRANLIST>" + Repeated(kTransaction, 40000)}}),
        Replaced(kCleanXml,
                 {{"<BANKTRANLIST>", "<BANKTRANLIST>" + Repeated(kXmlTransaction, 40000)}})};
}

TEST(StatementCheck, StopsWhereverItIsAskedTo)
{
    for (const std::string& bytes : LargeStatements()) {
        int asked = 0;
        const auto count = [&asked] { return ++asked > 0; };
        ASSERT_EQ(statement::CheckStatement(bytes, count).status, statement::OfxReadStatus::Read);
        ASSERT_GT(asked, 3);
        for (const int yes : {0, 1, asked / 2, asked - 1}) {
            int left = yes;
            const statement::CheckResult result =
                statement::CheckStatement(bytes, [&left] { return left-- > 0; });
            EXPECT_EQ(result.status, statement::OfxReadStatus::Stopped) << yes << " of " << asked;
            EXPECT_TRUE(result.hazards.empty());
            EXPECT_EQ(result.hazardCount, 0);
        }
    }
}

} // namespace
} // namespace qif2ldx::test
