// SPDX-License-Identifier: MIT
#include "xml/DomDocument.h"

#include "support/TempDir.h"
#include "xml/dom/DomError.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace qif2ldx::test {
namespace {

using xml::DomDocument;
using xml::NodeRef;

// One operation on the node a plain path selects.
struct Step
{
    enum Kind
    {
        Append,    // an element named name, with the text value when it is not empty
        SetText,   // the node's text
        SetFirst,  // the text of the node's first child
        Attribute, // the attribute name
        CData,     // a CDATA section
        Remove     // the node
    } kind;
    std::string path;
    std::string name;
    std::string value;
};

struct WriteCase
{
    std::string label;
    std::string document;
    bool bolFromFile; // loaded from a file, whose document names no encoding of its own
    std::vector<Step> steps;
    std::string text;  // Xml() after the steps
    std::string saved; // the file Save writes in Windows-1252
};

void PrintTo(const WriteCase& writeCase, std::ostream* out)
{
    *out << writeCase.label;
}

std::string Repeated(const std::string& text, int count)
{
    std::string repeated;
    for (int i = 0; i < count; ++i) {
        repeated += text;
    }
    return repeated;
}

void Apply(DomDocument& doc, const Step& step)
{
    const NodeRef node = doc.SelectSingleNode(step.path);
    ASSERT_NE(node, nullptr) << step.path;
    switch (step.kind) {
    case Step::Append:
        doc.AppendElement(node, step.name,
                          step.value.empty() ? std::nullopt : std::optional(step.value));
        break;
    case Step::SetText:
        doc.SetText(node, step.value);
        break;
    case Step::SetFirst:
        doc.SetText(doc.FirstChild(node), step.value);
        break;
    case Step::Attribute:
        doc.SetAttribute(node, step.name, step.value);
        break;
    case Step::CData:
        doc.AppendCData(node, step.value);
        break;
    case Step::Remove:
        doc.RemoveChild(doc.ParentNode(node), node);
        break;
    }
}

class DomDocumentWrites : public ::testing::TestWithParam<WriteCase>
{
protected:
    void Load(DomDocument& doc)
    {
        if (GetParam().bolFromFile) {
            WriteBytes(dir.File("in.xml"), GetParam().document);
            ASSERT_TRUE(doc.Load(dir.File("in.xml")));
        } else {
            ASSERT_TRUE(doc.LoadXML(GetParam().document));
        }
    }

    TempDir dir;
};

// What the tree holds after each kind of change, written as text and to a file: byte for byte
// what libxml2 writes for the same tree.
TEST_P(DomDocumentWrites, TheTreeAsLibxml2WritesIt)
{
    DomDocument doc;
    Load(doc);
    for (const Step& step : GetParam().steps) {
        Apply(doc, step);
    }
    EXPECT_EQ(doc.Xml(), GetParam().text);
    ASSERT_TRUE(doc.Save(dir.File("out.xml"), "windows-1252"));
    EXPECT_EQ(ReadBytes(dir.File("out.xml")), GetParam().saved);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DomDocumentWrites,
    ::testing::Values(
        WriteCase{"KeptTextGoesBeforeANewSibling",
                  "<R><A>x</A></R>",
                  false,
                  {{Step::Append, "/R/A", "B", "y"},
                   {Step::SetFirst, "/R/A", "", "z"},
                   {Step::Remove, "/R/A/B", "", ""}},
                  "<R><A>z</A></R>\r\n",
                  "<R><A>z</A></R>\r\n"},
        WriteCase{"TextsMeetOnceTheElementBetweenThemGoes",
                  "<R>a<B/>b</R>",
                  false,
                  {{Step::Remove, "/R/B", "", ""}, {Step::Append, "/R", "C", ""}},
                  "<R>ab<C></C></R>\r\n",
                  "<R>ab<C></C></R>\r\n"},
        WriteCase{
            "ReferencesInTextAndAttributes",
            "<R/>",
            false,
            {{Step::Append, "/R", "T", "a&b<c>d\re\tf\"g'h"},
             {Step::Attribute, "/R/T", "v", "a&b<c>d\re\tf\ng\"h'"},
             {Step::Append, "/R", "C", "\x01\x1F x\xEF\xBF\xBF"}},
            "<R><T "
            "v=\"a&amp;b&lt;c&gt;d&#13;e&#9;f&#10;g&quot;h'\">a&amp;b&lt;c&gt;d&#13;e\tf\"g'h</T>"
            "<C>   x </C></R>\r\n",
            "<R><T "
            "v=\"a&amp;b&lt;c&gt;d&#13;e&#9;f&#10;g&quot;h'\">a&amp;b&lt;c&gt;d&#13;e\tf\"g'h</T>"
            "<C>   x </C></R>\r\n"},
        WriteCase{"CDataSectionsEndBeforeEachEndMarker",
                  "<R><E/></R>",
                  false,
                  {{Step::CData, "/R/E", "", "a]]>b]]]>c"},
                   {Step::CData, "/R/E", "", ""},
                   {Step::CData, "/R/E", "", "]]>"}},
                  "<R><E><![CDATA[a]]]]><![CDATA[>b]]]]]><![CDATA[>c]]><![CDATA[]]><![CDATA[]]]]>"
                  "<![CDATA[>]]></E></R>\r\n",
                  "<R><E><![CDATA[a]]]]><![CDATA[>b]]]]]><![CDATA[>c]]><![CDATA[]]><![CDATA[]]]]>"
                  "<![CDATA[>]]></E></R>\r\n"},
        WriteCase{"AttributesBeyondAsciiOfTextLoadedAsUtf8",
                  "<R/>",
                  false,
                  {{Step::Attribute, "/R", "k", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
                   {Step::Append, "/R", "caf\xC3\xA9", "\xE2\x82\xAC"}},
                  "<R k=\"caf\xC3\xA9 \xE2\x82\xAC "
                  "\xF0\x9F\x98\x80\"><caf\xC3\xA9>\xE2\x82\xAC</caf\xC3\xA9></R>\r\n",
                  "<R k=\"caf\xE9 \x80 &#128512;\"><caf\xE9>\x80</caf\xE9></R>\r\n"},
        WriteCase{"AttributesBeyondAsciiOfAFileWithoutEncoding",
                  "<R/>",
                  true,
                  {{Step::Attribute, "/R", "k", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
                   {Step::Attribute, "/R", "j", "1"},
                   {Step::Attribute, "/R", "k", "2"}},
                  "<R k=\"2\" j=\"1\"></R>\r\n",
                  "<R k=\"2\" j=\"1\"></R>\r\n"},
        WriteCase{"DeclarationIsWrittenWithTheFilesEncoding",
                  "<?xml version=\"1.0\" standalone=\"yes\"?><R a=\"1\"><![CDATA[x]]></R>",
                  true,
                  {{Step::Append, "/R", "A", "\xC3\xA9"}},
                  "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<R "
                  "a=\"1\"><![CDATA[x]]><A>\xC3\xA9</A></R>\r\n",
                  "<?xml version=\"1.0\" encoding=\"windows-1252\" standalone=\"yes\"?>\r\n"
                  "<R a=\"1\"><![CDATA[x]]><A>\xE9</A></R>\r\n"},
        WriteCase{"TextsLargerThanTheWritersPiecesAndTheTreesBlocks",
                  "<R/>",
                  false,
                  {{Step::Append, "/R", "T", std::string(1500000, 'x') + "\xC3\xA9&"},
                   {Step::Append, "/R", "U", "u"},
                   {Step::SetFirst, "/R/U", "", std::string(200000, '<')}},
                  "<R><T>" + std::string(1500000, 'x') + "\xC3\xA9&amp;</T><U>" +
                      Repeated("&lt;", 200000) + "</U></R>\r\n",
                  "<R><T>" + std::string(1500000, 'x') + "\xE9&amp;</T><U>" +
                      Repeated("&lt;", 200000) + "</U></R>\r\n"},
        WriteCase{
            "StatementAsTheBuilderWritesIt",
            "<OFX></OFX>\r\n",
            true,
            {{Step::Append, "/OFX", "L", ""},
             {Step::Append, "/OFX/L", "DTSTART", ""},
             {Step::Append, "/OFX/L", "STMTTRN", ""},
             {Step::Append, "/OFX/L/STMTTRN[0]", "NAME", "Caf\xC3\xA9 & Co"},
             {Step::Append, "/OFX/L/STMTTRN[0]", "MEMO", ""},
             {Step::Append, "/OFX/L", "STMTTRN", ""},
             {Step::Append, "/OFX/L/STMTTRN[1]", "NAME", "x"},
             {Step::SetText, "/OFX/L/DTSTART", "", "20260101"},
             {Step::SetText, "/OFX/L/STMTTRN[1]/NAME", "", ""}},
            "<OFX><L><DTSTART>20260101</DTSTART><STMTTRN><NAME>Caf\xC3\xA9 &amp; "
            "Co</NAME><MEMO></MEMO>"
            "</STMTTRN><STMTTRN><NAME></NAME></STMTTRN></L></OFX>\r\n",
            "<OFX><L><DTSTART>20260101</DTSTART><STMTTRN><NAME>Caf\xE9 &amp; Co</NAME><MEMO></MEMO>"
            "</STMTTRN><STMTTRN><NAME></NAME></STMTTRN></L></OFX>\r\n"}),
    [](const auto& test) { return test.param.label; });

struct KindCase
{
    std::string document; // written back as it was read, with CR LF after each top-level node
    std::string query;    // selects a node of the kind, or the parent of its first child
    bool bolFirstChild;
    std::string type;
    std::string text;
};

void PrintTo(const KindCase& kindCase, std::ostream* out)
{
    *out << kindCase.type << " " << kindCase.document;
}

class DomDocumentKinds : public ::testing::TestWithParam<KindCase>
{};

// Every kind of node a document brings lives in the one tree, and is written back as it was read.
TEST_P(DomDocumentKinds, EveryKindOfNodeIsHeldAndWrittenBack)
{
    DomDocument doc;
    ASSERT_TRUE(doc.LoadXML(GetParam().document));
    EXPECT_EQ(doc.Xml(), GetParam().document + "\r\n");
    NodeRef node = doc.SelectSingleNode(GetParam().query);
    ASSERT_NE(node, nullptr);
    if (GetParam().bolFirstChild) {
        node = doc.FirstChild(node);
    }
    EXPECT_EQ(doc.NodeTypeString(node), GetParam().type);
    EXPECT_EQ(doc.Text(node), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DomDocumentKinds,
    ::testing::Values(
        KindCase{"<R a=\"1\">t<![CDATA[c]]><E></E></R>", "//@a", false, "attribute", "1"},
        KindCase{"<R a=\"1\">t<![CDATA[c]]><E></E></R>", "/R/node()[1]", false, "cdatasection",
                 "c"},
        KindCase{"<!DOCTYPE R [\n<!ELEMENT R ANY>\n]>\r\n<R></R>", "/", true, "documenttype", ""},
        KindCase{"<!--c-->\r\n<R></R>", "/comment()", false, "comment", "c"},
        KindCase{"<R><?p x?></R>", "//processing-instruction()", false, "processinginstruction",
                 "x"},
        // To XPath, namespace declarations are no attributes, and a prefix names its namespace.
        KindCase{"<R xmlns=\"u\" b=\"1\"></R>", "//@*", false, "attribute", "1"},
        KindCase{"<a:R xmlns:a=\"u\"><a:S>s</a:S></a:R>",
                 "//*[local-name()='S'][namespace-uri()='u']", false, "element", "s"},
        KindCase{"<R xml:lang=\"en\"></R>", "//@xml:lang", false, "attribute", "en"},
        KindCase{"<!DOCTYPE R [\n<!ELEMENT R ANY>\n<!ENTITY e \"caf&#xE9;\">\n]>\r\n<R>&e;a</R>",
                 "/R", true, "entityreference", "caf\xC3\xA9"}));

TEST(DomDocument, HandlesStayValidAcrossQueriesAndXPathFollowsEveryChange)
{
    DomDocument doc;
    ASSERT_TRUE(doc.LoadXML("<R><A/></R>"));
    for (const char* query : {"", "/R/", "/R/A[", "/R/A]"}) {
        EXPECT_THROW(static_cast<void>(doc.SelectSingleNode(query)), xml::DomError) << query;
    }
    const NodeRef a = doc.SelectSingleNode("/R/A");
    EXPECT_EQ(doc.SelectSingleNode("//A"), a);
    doc.AppendElement(a, "B", std::string("b"));
    EXPECT_EQ(doc.SelectNodesLength("//B"), 1);
    EXPECT_EQ(doc.SelectSingleNode("//B[text()='b']/.."), a);
    doc.SetText(a, "t");
    EXPECT_EQ(doc.SelectNodesLength("//B"), 0);
    EXPECT_EQ(doc.Text(doc.SelectSingleNode("/R/A/text()")), "t");
    EXPECT_EQ(doc.Xml(), "<R><A>t</A></R>\r\n");
}

} // namespace
} // namespace qif2ldx::test
