// SPDX-License-Identifier: MIT
#include "ConversionFixture.h"

#include <algorithm>
#include <filesystem>

namespace qif2ldx::test {
namespace {

class CQIFFileTest : public ConversionFixture
{
protected:
    // Each STMTTRN as "date amount name memo".
    std::vector<std::string> Transactions() const
    {
        return Matches("<STMTTRN>.*?<DTPOSTED>(.*?)</DTPOSTED><TRNAMT>(.*?)</TRNAMT>"
                       ".*?<NAME>(.*?)</NAME><MEMO>(.*?)</MEMO></STMTTRN>");
    }

    // The names in the test folder.
    std::vector<std::string> Folder() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string Period() const
    {
        const std::string body = ReadBytes(ldx);
        std::smatch match;
        std::regex_search(body, match, std::regex("<DTSTART>(.*?)</DTSTART><DTEND>(.*?)</DTEND>"));
        return match[1].str() + "-" + match[2].str();
    }
};

TEST_F(CQIFFileTest, EmptyFileGivesAStatementWithoutTransactions)
{
    for (const char* text : {"", " \n\t\n "}) {
        ASSERT_TRUE(Convert(text));
        EXPECT_TRUE(Transactions().empty());
        EXPECT_EQ(Period(), "-");
        EXPECT_EQ(report.written, 0);
        EXPECT_EQ(report.records, 0); // a line of blanks opens no record
    }
    ASSERT_TRUE(Convert("D15/01/2024\nT-1\n^\n  \n"));
    EXPECT_TRUE(report.leftOut.empty());
    EXPECT_FALSE(report.bolUnterminatedRecord);
}

TEST_F(CQIFFileTest, LineEndsCrLfAndBareLfGiveTheSameRecords)
{
    const std::string lines[] = {"!Type:Bank", "D01/02/2003", "T-12.50", "PShop",       "MFood",
                                 "CX",         "LGroceries",  "^",       "D15/01/2003", "U5",
                                 "T6",         "N12",         "^"};
    std::string crlf;
    std::string lf;
    for (const auto& line : lines) {
        crlf += line + "\r\n";
        lf += line + "\n";
    }
    ASSERT_TRUE(Convert(crlf));
    const auto expected = Transactions();
    EXPECT_EQ(expected,
              (std::vector<std::string>{"20030201 -12.50 Shop Food", "20030115 6 Not Provided "}));
    EXPECT_EQ(Period(), "20030115-20030201");
    ASSERT_TRUE(Convert(lf));
    EXPECT_EQ(Transactions(), expected);
}

TEST_F(CQIFFileTest, MixedLineEndsLoseNoRecord)
{
    // One CR LF among bare LF lines (two downloads joined) used to make everything before it
    // one line, and the records in it vanished without a word.
    ASSERT_TRUE(Convert("!Type:Bank\nD01/02/2003\nT-1\n^\r\nD02/02/2003\r\nT-2\r\n^\r\n"));
    EXPECT_EQ(Transactions(),
              (std::vector<std::string>{"20030201 -1 Not Provided ", "20030202 -2 Not Provided "}));
    EXPECT_EQ(report.lineEnds, qif::LineEnds::Mixed);
}

TEST_F(CQIFFileTest, UnterminatedLastLineIsHandledWhenTheFileHasLineEnds)
{
    ASSERT_TRUE(Convert("D01/02/2003\r\nT-1\r\n^\r\nD02/02/2003\r\nT-2\r\n^"));
    EXPECT_EQ(Transactions().size(), 2U);
    EXPECT_FALSE(report.bolUnterminatedRecord);

    // A last record without its "^" is written all the same when it is complete.
    ASSERT_TRUE(Convert("D01/02/2003\nT-1\n^\nD02/02/2003\nT-2\nMopen at the end"));
    EXPECT_EQ(Transactions().size(), 2U);
    EXPECT_TRUE(report.bolUnterminatedWritten);
    EXPECT_FALSE(report.bolUnterminatedRecord);
    ASSERT_TRUE(Convert("D01/02/2003\nT-1\n^\nD03/02/2003\nMno amount"));
    EXPECT_EQ(Transactions().size(), 1U);
    EXPECT_TRUE(report.bolUnterminatedRecord);
    EXPECT_EQ(Period(), "20030201-20030203");
}

TEST_F(CQIFFileTest, FileWithoutAnyLineEndIgnoresOneCharacterAndFailsOnMore)
{
    ASSERT_TRUE(Convert("^"));
    EXPECT_TRUE(Transactions().empty());
    EXPECT_FALSE(Convert("D01/02/2003"));
    // A file that holds CR but no LF ends its lines in CR.
    ASSERT_TRUE(Convert("D01/02/2003\rT-1\r^\r"));
    EXPECT_EQ(Transactions(), std::vector<std::string>{"20030201 -1 Not Provided "});
}

TEST_F(CQIFFileTest, RecordsWithoutDateOrAmountAreDroppedButTheirDatesCount)
{
    ASSERT_TRUE(Convert("!Type:Bank\r\nD01/01/2003\r\nPno amount\r\n^\r\nT-5\r\nPno date\r\n^\r\n"
                        "D28/02/2003\r\nU-12.50\r\nT-13.50\r\n^\r\nD15/01/2003\r\nT1\r\n^\r\n"));
    EXPECT_EQ(Transactions(), (std::vector<std::string>{"20030228 -13.50 Not Provided ",
                                                        "20030115 1 Not Provided "}));
    EXPECT_EQ(Period(), "20030101-20030228");
    EXPECT_EQ(report.written, 2);
    EXPECT_EQ(report.dropped, 2);
}

TEST_F(CQIFFileTest, FieldsKeepTheirTextAndWindows1252IsDecoded)
{
    ASSERT_TRUE(Convert("D01/02/2003\r\nT 1,234.50 \r\nP\tCaf\xE9 & Co\r\nM\x80 5\r\n^\r\n"));
    EXPECT_EQ(Transactions(),
              std::vector<std::string>{"20030201  1,234.50  \tCaf\xE9 &amp; Co \x80 5"});
}

TEST_F(CQIFFileTest, UnreadableDatesFailWithoutSavingTheStatement)
{
    struct Case
    {
        std::string bad;
        std::int64_t line;
        std::string description;
    };
    const std::vector<Case> cases = {
        {"D01022003\r\nT1\r\n^\r\n", 1,
         "\"D01022003\" is no real day, read day first, month first or year first"},
        {"D01/02/2003\r\nD01/xx/2003\r\n", 2,
         "\"D01/xx/2003\" is no real day, read day first, month first or year first"},
        {"D13/01/2020\r\nT1\r\n^\r\nD01/13/2020\r\n", 4,
         "\"D01/13/2020\" is no real day read day first, and no other date order reads every "
         "date of the file"},
        {"D15/03\r\nT1\r\n^\r\n", 1, "\"D15/03\" has no year"},
        {"D01/02/2003\r\nD15.3\r\n", 2, "\"D15.3\" has no year"},
        {"!Option:MDY\r\nD13/01/2020\r\nD12/31/2020\r\n", 2,
         "\"D13/01/2020\" is not a month-first date, as an \"!Option:\" line before it says the "
         "dates are"}};
    for (const auto& c : cases) {
        EXPECT_FALSE(Convert(c.bad)) << c.bad;
        EXPECT_EQ(Folder(), std::vector<std::string>{"in.qif"}) << c.bad; // nothing left behind
        EXPECT_EQ(failure.kind, qif::FailureKind::BadText) << c.bad;
        EXPECT_EQ(failure.line, c.line) << c.bad;
        EXPECT_EQ(failure.sReason, c.description) << c.bad;
    }
    // A huge line is quoted cut short, never whole.
    EXPECT_FALSE(Convert("D" + std::string(10000, '7') + "\r\nT1\r\n^\r\n"));
    EXPECT_EQ(failure.sReason, "\"D" + std::string(58, '7') +
                                   "\u2026\" is no real day, read day first, month first "
                                   "or year first");
    EXPECT_FALSE(Convert(std::string("!Type:Bank\r\n\0\0\x01PK", 17)));
    EXPECT_EQ(failure.kind, qif::FailureKind::NotText);
    EXPECT_EQ(failure.sReason, "it holds bytes that are not text");
}

// A QIF text and the transactions it gives ("date amount name memo").
struct ShapeCase
{
    std::string what;
    std::string bytes;
    std::vector<std::string> transactions;
};

TEST_F(CQIFFileTest, RealFilesShapesReadAsTheirAuthorsMeant)
{
    const std::string utf16 =
        std::string("\xFF\xFE", 2) + std::string("D\x00"
                                                 "0\x00"
                                                 "1\x00/\x00"
                                                 "0\x00"
                                                 "2\x00/\x00"
                                                 "0\x00"
                                                 "3\x00\n\x00T\x00"
                                                 "1\x00\n\x00P\x00"
                                                 "\xE9\x00\xAC\x20\n\x00^\x00\n\x00",
                                                 36);
    const std::vector<ShapeCase> cases = {
        {"month first",
         "!Type:Bank\nD01/05/2026\nT-1\n^\nD12/25/2026\nT-2\n^\n",
         {"20260105 -1 Not Provided ", "20261225 -2 Not Provided "}},
        {"year first",
         "D2007/01/22\nT1\n^\nD13/3/3\nT2\n^\n",
         {"20070122 1 Not Provided ", "20130303 2 Not Provided "}},
        {"option", "!Option:MDY\n!Type:Bank \nD10.18.23\nT1\n^\n", {"20231018 1 Not Provided "}},
        // The option line is the file's own word, though day first would read the date too.
        {"option governs dates that also read day first",
         "!option:mdy\nD01/02/2003\nT1\n^\n",
         {"20030102 1 Not Provided "}},
        {"lists",
         "!Account\nNChecking\nDMy account\nTBank\n^\n!Type:Cat\nNFood\nDFood\n^\n"
         "!Option:AutoSwitch\n!Type:Bank\nD01/02/2003\nT-1\n^\n",
         {"20030201 -1 Not Provided "}},
        {"a transaction right after an account block",
         "!Account\nNAccount 4\nTBank\n^\nD01/01/10\nT100.00\n^\n",
         {"20100101 100.00 Not Provided "}},
        {"a split's own date",
         "D10/02/2020\nT-5\nSFood\nD10/01/2020\n$-5\n^\n",
         {"20200210 -5 Not Provided "}},
        {"named months",
         "D02 Dec 2024\nT1\n^\nDDec 3, 2024\nT2\n^\n",
         {"20241202 1 Not Provided ", "20241203 2 Not Provided "}},
        {"a D line without a digit",
         "D08/07/2010\nMDescription\nDSome Rubbish\nT42.42\n^",
         {"20100708 42.42 Description Description"}},
        {"UTF-16", utf16, {"20030201 1 \xE9\x80 "}},
        {"records that end at blank lines, without a single ^",
         "!Type:CCard\nD01/12/2016\nT-13.00\n\nD02/12/2016\nT-4.00\n\n\nD03/12/2016\nT-5\n",
         {"20161201 -13.00 Not Provided ", "20161202 -4.00 Not Provided ",
          "20161203 -5 Not Provided "}},
        {"a record that runs into the next",
         "D30/11/2016\nT-13.00\nPOne\n\nD02/12/2016\nT-4.00\nPTwo\n^\n",
         {"20161130 -13.00 One ", "20161202 -4.00 Two "}},
        {"a record with splits that runs into the next",
         "D15/01/2024\nT-10.00\nSFood\n$-10.00\n\nD16/01/2024\nT-20.00\nPTwo\n^\n",
         {"20240115 -10.00 Not Provided ", "20240116 -20.00 Two "}},
        {"a blank line inside a record that ^ ends",
         "D30/11/2016\n\nT-13.00\n^\nD02/12/2016\nT-4.00\n\nSFood\n\nD01/12/2016\n^\n",
         {"20161130 -13.00 Not Provided ", "20161202 -4.00 Not Provided "}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Convert(c.bytes)) << c.what << ": " << failure.sReason;
        EXPECT_EQ(Transactions(), c.transactions) << c.what;
    }
    ASSERT_TRUE(Convert(cases[0].bytes));
    EXPECT_EQ(report.dates.order, qif::DateOrder::MonthFirst);
    EXPECT_EQ(report.dates.line, 5);
    EXPECT_EQ(report.dates.sDate, "20261225");
}

TEST_F(CQIFFileTest, RecordEndsThatAreMissingAndValuesOverwrittenAreSaid)
{
    ASSERT_TRUE(Convert("D30/11/2016\nT-13.00\n\nD02/12/2016\nT-4.00\n^\n"
                        "D03/12/2016\nD04/12/2016\nU-5\nT-5.00\n^\nD05/12/2016\nU-5\nT-6\n^\n"));
    EXPECT_EQ(report.recordEnds, qif::RecordEnds::Caret);
    EXPECT_EQ(report.runOnRecords, std::vector<std::int64_t>{4});
    // U and T of one amount are one; other values are named, the last one kept.
    ASSERT_EQ(report.severalValues.size(), 2U);
    EXPECT_EQ(report.severalValues[0].line, 7);
    EXPECT_TRUE(report.severalValues[0].bolDates);
    EXPECT_FALSE(report.severalValues[0].bolAmounts);
    EXPECT_EQ(report.severalValues[1].line, 12);
    EXPECT_TRUE(report.severalValues[1].bolAmounts);
    EXPECT_EQ(Transactions().back(), "20161205 -6 Not Provided ");
    ASSERT_TRUE(Convert("D01/12/2016\nT-1\n\nD02/12/2016\nT-2\n"));
    EXPECT_EQ(report.recordEnds, qif::RecordEnds::BlankLines);
    EXPECT_FALSE(report.bolUnterminatedWritten);
}

TEST_F(CQIFFileTest, WhatIsNoQifFailsAndWritesNothing)
{
    const std::pair<std::string, qif::FailureKind> cases[] = {
        {"hello world\n", qif::FailureKind::NotText},
        {"Date,Description,Amount\r\n2024-01-02,Shop,-5.00\r\n", qif::FailureKind::NotText},
        {"OFXHEADER:100\r\nDATA:OFXSGML\r\n\r\n<OFX>\r\n<SIGNONMSGSRSV1>\r\n",
         qif::FailureKind::OfxStatement},
        {"<?xml version=\"1.0\"?>\n<?OFX OFXHEADER=\"200\"?>\n<ofx><SIGNONMSGSRSV1>\n",
         qif::FailureKind::OfxStatement},
    };
    for (const auto& [bytes, kind] : cases) {
        EXPECT_FALSE(Convert(bytes)) << bytes;
        EXPECT_EQ(failure.kind, kind) << bytes;
        EXPECT_EQ(Folder(), std::vector<std::string>{"in.qif"}) << bytes;
    }
    // Blanks and line ends alone are an empty file, which gives an empty statement.
    EXPECT_TRUE(Convert("\r\n\r\n"));
}

TEST_F(CQIFFileTest, TransactionsOfSeveralAccountsAreAllWrittenAndNamed)
{
    ASSERT_TRUE(Convert("!Account\nNOne\n^\n!Type:Bank\nD01/02/2003\nT1\n^\n"
                        "!Account\nNTwo\nTBank\n^\n!Type:Bank\nD02/02/2003\nT2\n^\n"));
    EXPECT_EQ(Transactions().size(), 2U);
    EXPECT_EQ(report.accounts, (std::vector<std::string>{"One", "Two"}));
}

TEST_F(CQIFFileTest, OpenFileRefusesWhatIsNotARegularFileAndCreatesNothing)
{
    qif::CQIFFile file(messages, folder, clock);
    EXPECT_FALSE(file.OpenFile(""));
    EXPECT_FALSE(file.OpenFile(dir.File("missing.qif")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing.qif")));
    EXPECT_FALSE(file.OpenFile(dir.Path().string()));
    EXPECT_FALSE(file.OpenFile("/dev/zero"));
    EXPECT_FALSE(file.ConvertQIFtoLDX(ldx, kAccount));
    EXPECT_FALSE(std::filesystem::exists(ldx));
}

TEST_F(CQIFFileTest, StatementThatCannotBeCreatedLeavesTheQIFUnread)
{
    ldx = dir.File("missing-folder/out.LDX");
    EXPECT_FALSE(Convert("D01/02/2003\r\nT1\r\n^\r\n"));
    EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(CQIFFileTest, ProgressCanStopTheConversion)
{
    std::string big;
    for (int i = 0; i < 50000; ++i) {
        big += "D01/02/2003\r\nT-1.00\r\nPA payee of some length\r\n^\r\n";
    }
    WriteBytes(qifPath, big);
    qif::CQIFFile file(messages, folder, clock);
    ASSERT_TRUE(file.OpenFile(qifPath));
    int calls = 0;
    file.SetProgress([&](std::uint64_t done, std::uint64_t total) {
        EXPECT_LE(done, total);
        return ++calls < 2;
    });
    EXPECT_FALSE(file.ConvertQIFtoLDX(ldx, kAccount));
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(Folder(), std::vector<std::string>{"in.qif"});
}

} // namespace
} // namespace qif2ldx::test
