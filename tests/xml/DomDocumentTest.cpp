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

struct AgreeCase
{
    std::string label;
    std::string document;
    bool bolFromFile; // loaded from a file, whose document names no encoding of its own
    std::vector<Step> steps;
};

void PrintTo(const AgreeCase& agreeCase, std::ostream* out)
{
    *out << agreeCase.label;
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

class DomDocumentAgrees : public ::testing::TestWithParam<AgreeCase>
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

// The lean tree must hold and write what libxml2's tree holds and writes, byte for byte: the
// same document, kept lean and moved into libxml2's tree by a query, takes the same steps.
TEST_P(DomDocumentAgrees, LeanTreeWritesWhatLibxml2Writes)
{
    DomDocument lean;
    DomDocument full;
    Load(lean);
    Load(full);
    ASSERT_TRUE(lean.IsLean());
    EXPECT_EQ(full.SelectNodesLength("(/)"), 1);
    ASSERT_FALSE(full.IsLean());
    for (const Step& step : GetParam().steps) {
        Apply(lean, step);
        Apply(full, step);
        EXPECT_EQ(lean.Xml(), full.Xml()) << step.path;
    }
    EXPECT_TRUE(lean.IsLean());
    ASSERT_TRUE(lean.Save(dir.File("lean.xml")));
    ASSERT_TRUE(full.Save(dir.File("full.xml")));
    EXPECT_EQ(ReadBytes(dir.File("lean.xml")), ReadBytes(dir.File("full.xml")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DomDocumentAgrees,
    ::testing::Values(
        AgreeCase{"KeptTextGoesBeforeANewSibling",
                  "<R><A>x</A></R>",
                  false,
                  {{Step::Append, "/R/A", "B", "y"},
                   {Step::SetFirst, "/R/A", "", "z"},
                   {Step::Remove, "/R/A/B", "", ""}}},
        AgreeCase{"TextsMeetOnceTheElementBetweenThemGoes",
                  "<R>a<B/>b</R>",
                  false,
                  {{Step::Remove, "/R/B", "", ""}, {Step::Append, "/R", "C", ""}}},
        AgreeCase{"ReferencesInTextAndAttributes",
                  "<R/>",
                  false,
                  {{Step::Append, "/R", "T", "a&b<c>d\re\tf\"g'h"},
                   {Step::Attribute, "/R/T", "v", "a&b<c>d\re\tf\ng\"h'"},
                   {Step::Append, "/R", "C", "\x01\x1F x\xEF\xBF\xBF"}}},
        AgreeCase{"CDataSectionsEndBeforeEachEndMarker",
                  "<R><E/></R>",
                  false,
                  {{Step::CData, "/R/E", "", "a]]>b]]]>c"},
                   {Step::CData, "/R/E", "", ""},
                   {Step::CData, "/R/E", "", "]]>"}}},
        AgreeCase{"AttributesBeyondAsciiOfTextLoadedAsUtf8",
                  "<R/>",
                  false,
                  {{Step::Attribute, "/R", "k", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
                   {Step::Append, "/R", "caf\xC3\xA9", "\xE2\x82\xAC"}}},
        AgreeCase{"AttributesBeyondAsciiOfAFileWithoutEncoding",
                  "<R/>",
                  true,
                  {{Step::Attribute, "/R", "k", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
                   {Step::Attribute, "/R", "j", "1"},
                   {Step::Attribute, "/R", "k", "2"}}},
        AgreeCase{"DeclarationIsWrittenWithTheFilesEncoding",
                  "<?xml version=\"1.0\" standalone=\"yes\"?><R a=\"1\"><![CDATA[x]]></R>",
                  true,
                  {{Step::Append, "/R", "A", "\xC3\xA9"}}},
        AgreeCase{"TextsLargerThanTheWritersPiecesAndTheTreesBlocks",
                  "<R/>",
                  false,
                  {{Step::Append, "/R", "T", std::string(1500000, 'x') + "\xC3\xA9&"},
                   {Step::Append, "/R", "U", "u"},
                   {Step::SetFirst, "/R/U", "", std::string(200000, '<')}}},
        AgreeCase{"StatementAsTheBuilderWritesIt",
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
                   {Step::SetText, "/OFX/L/STMTTRN[1]/NAME", "", ""}}}),
    [](const auto& test) { return test.param.label; });

struct FitCase
{
    std::string document;
    bool bolLean;
};

void PrintTo(const FitCase& fitCase, std::ostream* out)
{
    *out << fitCase.document;
}

class DomDocumentFits : public ::testing::TestWithParam<FitCase>
{};

// Only documents of elements, attributes, text and CDATA go into the lean tree; anything more
// stays in libxml2's tree, which writes it back as it was read.
TEST_P(DomDocumentFits, OnlyWhatTheLeanTreeHoldsGoesIntoIt)
{
    DomDocument doc;
    ASSERT_TRUE(doc.LoadXML(GetParam().document));
    EXPECT_EQ(doc.IsLean(), GetParam().bolLean);
    EXPECT_EQ(doc.Xml(), GetParam().document + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DomDocumentFits,
    ::testing::Values(FitCase{"<R a=\"1\">t<![CDATA[c]]><E></E></R>", true},
                      FitCase{"<!DOCTYPE R [\n<!ELEMENT R ANY>\n]>\r\n<R></R>", false},
                      FitCase{"<!--c-->\r\n<R></R>", false}, FitCase{"<R><?p x?></R>", false},
                      FitCase{"<R><!--c--></R>", false}, FitCase{"<R xmlns=\"u\"></R>", false},
                      FitCase{"<a:R xmlns:a=\"u\"></a:R>", false},
                      FitCase{"<R xml:lang=\"en\"></R>", false}));

TEST(DomDocument, QueriesThatXPathCannotReadLeaveTheDocumentLean)
{
    DomDocument doc;
    ASSERT_TRUE(doc.LoadXML("<R><A/></R>"));
    for (const char* query : {"", "/R/", "/R/A[", "/R/A]"}) {
        EXPECT_THROW(static_cast<void>(doc.SelectSingleNode(query)), xml::DomError) << query;
    }
    EXPECT_TRUE(doc.IsLean());
    EXPECT_NE(doc.SelectSingleNode("/R/A"), nullptr);
    EXPECT_NE(doc.SelectSingleNode("//A"), nullptr);
    EXPECT_FALSE(doc.IsLean());
    EXPECT_EQ(doc.Xml(), "<R><A></A></R>\r\n");
}

} // namespace
} // namespace qif2ldx::test
