// SPDX-License-Identifier: MIT
#include "XmlFixture.h"

namespace qif2ldx::test {
namespace {

using platform::MessageKind;
using test::MessageRecorder;

class CDoXMLLoading : public XmlFixture
{};

TEST_F(CDoXMLLoading, MalformedTextReportsParserErrorExactly)
{
    EXPECT_FALSE(doc.OpenFromString("<OFX><A></OFX>", true));
    ASSERT_EQ(messages.Messages().size(), 1U);
    EXPECT_EQ(messages.Messages()[0],
              (MessageRecorder::Message{"XML Parse Error",
                                        "Error loading XML\r\n\r\n76\r\n"
                                        "Opening and ending tag mismatch: A line 1 and OFX\r\n"
                                        "Line 1, Position 15\r\n\r\n<OFX><A></OFX>\r\n",
                                        MessageKind::Warning}));
}

TEST_F(CDoXMLLoading, MissingFileReportsWhyAndLeavesNoDocument)
{
    Load("<R/>");
    const std::string path = dir.File("missing.xml");
    EXPECT_FALSE(doc.OpenFromFile(path, true));
    ASSERT_EQ(messages.Messages().size(), 1U);
    EXPECT_EQ(messages.Messages()[0].sText,
              "Error loading XML\r\n\r\n1549\r\nCannot read \"" + path +
                  "\": No such file or directory.\r\nLine 0, Position 0\r\n\r\n\r\n");
    EXPECT_FALSE(doc.InsertNode("/R", "A", std::nullopt, "", std::nullopt, xml::norChild));
    EXPECT_THROW(static_cast<void>(doc.XML()), xml::XmlError);
}

TEST_F(CDoXMLLoading, ReportOfAUtf16FileQuotesItsLineAsText)
{
    for (const bool bolBigEndian : {false, true}) {
        std::string bytes = bolBigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (const char c : std::string("<R>\r\n<A>\xE9</B></R>")) {
            bytes += bolBigEndian ? std::string{'\0', c} : std::string{c, '\0'};
        }
        WriteBytes(dir.File("utf16.xml"), bytes);
        EXPECT_FALSE(doc.OpenFromFile(dir.File("utf16.xml"), true));
    }
    ASSERT_EQ(messages.Messages().size(), 2U);
    for (const auto& message : messages.Messages()) {
        EXPECT_TRUE(message.sText.ends_with("Line 2, Position 9\r\n\r\n<A>\xC3\xA9</B></R>\r\n"))
            << message.sText;
    }
}

TEST_F(CDoXMLLoading, QuietFailuresShowNothing)
{
    EXPECT_FALSE(doc.OpenFromString("<R>", false));
    EXPECT_FALSE(doc.OpenFromString("", false));
    EXPECT_FALSE(doc.OpenFromString("<R>\xFF</R>", false));     // invalid UTF-8
    EXPECT_FALSE(doc.OpenFromFile(dir.Path().string(), false)); // a folder
    EXPECT_FALSE(doc.OpenFromFile("/dev/zero", false));         // not a regular file
    EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(CDoXMLLoading, FileLoadsAndDeclarationIsReported)
{
    WriteBytes(dir.File("doc.xml"),
               "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\"?><R>\xE9</R>");
    ASSERT_TRUE(doc.OpenFromFile(dir.File("doc.xml"), true));
    EXPECT_EQ(doc.ReadNode("/R"), "\xC3\xA9");
    EXPECT_EQ(doc.XMLDocumentInfo(xml::xdiVersion), "1.0");
    EXPECT_EQ(doc.XMLDocumentInfo(xml::xdiEncoding), "ISO-8859-1");
    EXPECT_EQ(doc.XMLDocumentInfo(xml::xdiStandalone), "yes");
    EXPECT_EQ(doc.XMLDocumentInfo(static_cast<xml::XMLDocumentInfoItem>(3)), std::nullopt);

    Load("<?xml version=\"1.0\" encoding=\"windows-1252\"?><R>\xC3\xA9</R>");
    EXPECT_EQ(doc.ReadNode("/R"), "\xC3\xA9"); // text given as a string is already Unicode
    EXPECT_EQ(doc.XMLDocumentInfo(xml::xdiEncoding), "windows-1252");
    EXPECT_EQ(doc.XMLDocumentInfo(xml::xdiStandalone), std::nullopt);

    // A byte-order mark before the declaration.
    Load("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?><R/>");
    EXPECT_EQ(doc.XMLDocumentInfo(xml::xdiEncoding), "UTF-8");
    WriteBytes(dir.File("bom.xml"), "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?><R/>");
    ASSERT_TRUE(doc.OpenFromFile(dir.File("bom.xml"), true));
    EXPECT_EQ(doc.XMLDocumentInfo(xml::xdiEncoding), "utf-8");

    Load("<R/>");
    EXPECT_EQ(doc.XMLDocumentInfo(xml::xdiVersion), std::nullopt);
    EXPECT_EQ(doc.XMLDocumentInfo(xml::xdiEncoding), std::nullopt);
}

TEST_F(CDoXMLLoading, ExternalEntitiesAndDtdsAreNeverRead)
{
    WriteBytes(dir.File("secret.txt"), "TOPSECRET");
    WriteBytes(dir.File("ext.dtd"), "<!ELEMENT R (#PCDATA)><!ENTITY s \"TOPSECRET\">");
    const std::string withEntity = "<!DOCTYPE R [<!ELEMENT R ANY><!ENTITY e SYSTEM \"" +
                                   dir.File("secret.txt") + "\">]><R>&e;</R>";
    ASSERT_TRUE(doc.OpenFromString(withEntity, true));
    EXPECT_EQ(doc.ReadNode("/R"), "");
    EXPECT_EQ(doc.XML().find("TOPSECRET"), std::string::npos);

    const std::string withDtd = "<!DOCTYPE R SYSTEM \"" + dir.File("ext.dtd") + "\"><R>&s;</R>";
    EXPECT_FALSE(doc.OpenFromString(withDtd, true));
    const std::string paramEntity = "<!DOCTYPE R [<!ELEMENT R ANY><!ENTITY % p SYSTEM \"" +
                                    dir.File("ext.dtd") + "\"> %p;]><R>&s;</R>";
    EXPECT_FALSE(doc.OpenFromString(paramEntity, true));
    for (const auto& message : messages.Messages()) {
        EXPECT_EQ(message.sText.find("TOPSECRET"), std::string::npos);
    }
}

TEST_F(CDoXMLLoading, DocumentsWithDtdAreValidatedOthersNot)
{
    EXPECT_TRUE(doc.OpenFromString(
        "<!DOCTYPE R [<!ELEMENT R (A)><!ELEMENT A (#PCDATA)>]><R><A/></R>", false));
    EXPECT_FALSE(doc.OpenFromString(
        "<!DOCTYPE R [<!ELEMENT R (A)><!ELEMENT A (#PCDATA)>]><R><B/></R>", false));
    EXPECT_TRUE(doc.OpenFromString("<R><B/></R>", false));
}

TEST_F(CDoXMLLoading, HostileDocumentsFailCleanly)
{
    std::string laughs = "<!DOCTYPE l [<!ELEMENT l (#PCDATA)><!ENTITY a0 \"lol\">";
    for (int level = 1; level <= 10; ++level) {
        laughs += "<!ENTITY a" + std::to_string(level) + " \"";
        for (int i = 0; i < 10; ++i) {
            laughs += "&a" + std::to_string(level - 1) + ";";
        }
        laughs += "\">";
    }
    laughs += "]><l>&a10;</l>";
    EXPECT_FALSE(doc.OpenFromString(laughs, true));

    std::string deep;
    for (int i = 0; i < 100000; ++i) {
        deep += "<a>";
    }
    EXPECT_FALSE(doc.OpenFromString(deep, true));
    EXPECT_FALSE(doc.OpenFromString("<OFX><SIGNONMSGSRSV1><SONRS>", true));
    ASSERT_EQ(messages.Messages().size(), 3U);

    // One large entity referenced many times grows quadratically, and only when read.
    std::string wide =
        "<!DOCTYPE r [<!ELEMENT r ANY><!ENTITY a \"" + std::string(50000, 'x') + "\">]><r>";
    for (int i = 0; i < 50000; ++i) {
        wide += "&a;";
    }
    EXPECT_FALSE(doc.OpenFromString(wide + "</r>", false));
    EXPECT_FALSE(doc.OpenFromString(
        "<!DOCTYPE r [<!ELEMENT r ANY><!ATTLIST r v CDATA #IMPLIED><!ENTITY a \"" +
            std::string(50000, 'x') + "\">]><r v=\"" + wide.substr(wide.find("&a;")) + "\"/>",
        false));
    // Modest use of entities still loads.
    EXPECT_TRUE(doc.OpenFromString(
        "<!DOCTYPE r [<!ELEMENT r ANY><!ENTITY a \"caf&#233;\">]><r>&a; &a;</r>", false));
    EXPECT_EQ(doc.ReadNode("/r"), "caf\xC3\xA9 caf\xC3\xA9");
    // The report shows a bounded piece of a huge source line.
    EXPECT_LT(messages.Messages()[1].sText.size(), 2000U);
}

TEST_F(CDoXMLLoading, ReparseChecksWithoutTouchingTheDocument)
{
    Load("<R><A>x &amp; y</A></R>");
    const std::string before = doc.XML();
    EXPECT_TRUE(doc.Reparse());
    EXPECT_EQ(doc.XML(), before);
}

TEST_F(CDoXMLLoading, ReparseValidatesADocumentWithADtd)
{
    Load(
        "<!DOCTYPE R [<!ELEMENT R (A*)><!ELEMENT A (#PCDATA)><!ENTITY e \"x\">]><R><A>&e;</A></R>");
    EXPECT_TRUE(doc.Reparse());
    ASSERT_TRUE(doc.InsertNode("/R", "A", std::string("y"), "", std::nullopt, xml::norChild));
    EXPECT_TRUE(doc.Reparse());
    ASSERT_TRUE(doc.InsertNode("/R", "B", std::nullopt, "", std::nullopt, xml::norChild));
    EXPECT_FALSE(doc.Reparse());
    EXPECT_EQ(doc.NodeCount("/R/B"), 1); // the document is as it was
}

} // namespace
} // namespace qif2ldx::test
