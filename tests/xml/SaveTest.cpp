// SPDX-License-Identifier: MIT
#include "XmlFixture.h"
#include "platform/File.h"

#include <fcntl.h>
#include <filesystem>

namespace qif2ldx::test {
namespace {

class CDoXMLSave : public XmlFixture
{};

TEST_F(CDoXMLSave, WritesWindows1252WithReferencesForTheRest)
{
    Load("<OFX></OFX>");
    doc.SetSaveEncoding("windows-1252");
    // "&", "<", ">", CR, e acute, euro, a control character, an em dash and an emoji.
    ASSERT_TRUE(doc.InsertNode("/OFX", "NAME",
                               std::string("a&<>\r\xC3\xA9\xE2\x82\xAC\x01z\xE2\x80\x94"
                                           "\xF0\x9F\x98\x80"),
                               "", std::nullopt, xml::norChild));
    ASSERT_TRUE(doc.InsertNode("/OFX", "MEMO", std::string(), "", std::nullopt, xml::norChild));
    ASSERT_TRUE(doc.Save(dir.File("out.LDX")));
    EXPECT_EQ(ReadBytes(dir.File("out.LDX")),
              "<OFX><NAME>a&amp;&lt;&gt;&#13;\xE9\x80 z\x97&#128512;</NAME>"
              "<MEMO></MEMO></OFX>\r\n");
}

TEST_F(CDoXMLSave, CharactersSurviveTheSerialiserCuttingItsOutput)
{
    Load("<OFX></OFX>");
    doc.SetSaveEncoding("WINDOWS-1252");
    std::string text;
    std::string expected;
    for (int i = 0; i < 20000; ++i) {
        text += i % 3 == 0 ? "\xC3\xA9" : i % 3 == 1 ? "\xE2\x82\xAC" : "\xF0\x9F\x98\x80";
        expected += i % 3 == 0 ? "\xE9" : i % 3 == 1 ? "\x80" : "&#128512;";
    }
    for (int n = 0; n < 3; ++n) {
        ASSERT_TRUE(doc.InsertNode("/OFX", "T", text, "", std::nullopt, xml::norChild));
    }
    ASSERT_TRUE(doc.Save(dir.File("big.LDX")));
    EXPECT_EQ(ReadBytes(dir.File("big.LDX")), "<OFX><T>" + expected + "</T><T>" + expected +
                                                  "</T><T>" + expected + "</T></OFX>\r\n");
}

TEST_F(CDoXMLSave, KeepsDeclarationCommentsAndReplacesTheFile)
{
    Load("<?xml version=\"1.0\"?><!--c--><R><A>\xC3\xA9</A></R>");
    doc.SetSaveEncoding("windows-1252");
    WriteBytes(dir.File("out.xml"), std::string(5000, 'x'));
    ASSERT_TRUE(doc.Save(dir.File("out.xml")));
    const std::string expected =
        "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n<!--c-->\r\n<R><A>\xE9</A></R>\r\n";
    EXPECT_EQ(ReadBytes(dir.File("out.xml")), expected);
    // What was saved loads again with the same content.
    ASSERT_TRUE(doc.OpenFromFile(dir.File("out.xml"), true));
    EXPECT_EQ(doc.ReadNode("/R/A"), "\xC3\xA9");
}

// A document saved without a declaration is UTF-8 unless told otherwise, which is what a load
// reads it as: it loads again, whatever characters it holds.
TEST_F(CDoXMLSave, WhatWasSavedWithoutADeclarationLoadsAgain)
{
    Load("<R><A>caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80</A></R>");
    ASSERT_TRUE(doc.Save(dir.File("out.xml")));
    EXPECT_EQ(ReadBytes(dir.File("out.xml")), doc.XML());
    ASSERT_TRUE(doc.OpenFromFile(dir.File("out.xml"), true));
    EXPECT_EQ(doc.ReadNode("/R/A"), "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80");
    doc.SetSaveEncoding("ISO-2022-JP");
    EXPECT_FALSE(doc.Save(dir.File("other.xml")));
    EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(CDoXMLSave, RewritesTheSameFileInPlace)
{
    // A descriptor opened on the file before the save reads what the save wrote: the file is
    // emptied and written again, not replaced by a new one (the statement writer reads its
    // file back through the descriptor it holds).
    Load("<R><A>x</A></R>");
    WriteBytes(dir.File("s.LDX"), std::string(5000, 'x'));
    const platform::Result<platform::UniqueFd> before =
        platform::OpenRegularFile(dir.File("s.LDX"));
    ASSERT_TRUE(before);
    ASSERT_TRUE(doc.Save(dir.File("s.LDX")));
    EXPECT_EQ(platform::ReadAll(before.value.Get()).value, "<R><A>x</A></R>\r\n");
}

TEST_F(CDoXMLSave, SaveToWritesIntoTheFileHeldWhateverItsName)
{
    Load("<R><A>\xC3\xA9</A></R>");
    doc.SetSaveEncoding("windows-1252"); // the held file takes the encoding set, as Save does
    WriteBytes(dir.File("held.LDX"), "");
    const platform::UniqueFd held(::open(dir.File("held.LDX").c_str(), O_RDWR | O_CLOEXEC));
    ASSERT_TRUE(held);
    // The name now leads elsewhere: the save goes to the file held, never by name.
    std::filesystem::rename(dir.File("held.LDX"), dir.File("moved.LDX"));
    WriteBytes(dir.File("held.LDX"), "another file");
    ASSERT_TRUE(doc.SaveTo(held.Get()));
    EXPECT_EQ(ReadBytes(dir.File("moved.LDX")), "<R><A>\xE9</A></R>\r\n");
    EXPECT_EQ(ReadBytes(dir.File("held.LDX")), "another file");
    doc.SetSaveEncoding("ISO-2022-JP");
    EXPECT_FALSE(doc.SaveTo(held.Get())); // an encoding it cannot write
    doc.Close();
    EXPECT_FALSE(doc.SaveTo(held.Get())); // no document
}

TEST_F(CDoXMLSave, UnwritablePathsFail)
{
    Load("<R/>");
    EXPECT_FALSE(doc.Save(dir.Path().string()));
    EXPECT_FALSE(doc.Save(dir.File("missing/out.xml")));
    EXPECT_FALSE(doc.Save(""));
    EXPECT_FALSE(doc.Save("/dev/full"));
}

} // namespace
} // namespace qif2ldx::test
