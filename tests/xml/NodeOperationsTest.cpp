// SPDX-License-Identifier: MIT
#include "XmlFixture.h"

namespace qif2ldx::test {
namespace {

class CDoXMLNodes : public XmlFixture
{};

TEST_F(CDoXMLNodes, WriteNodeSetsReplacesAndClears)
{
    Load("<R><E/><P><X/><Y>y</Y></P></R>");
    EXPECT_TRUE(doc.WriteNode("/R/E", "first"));
    EXPECT_TRUE(doc.WriteNode("/R/E", "second"));
    EXPECT_EQ(doc.ReadNode("/R/E"), "second");
    EXPECT_TRUE(doc.WriteNode("/R/E", ""));
    EXPECT_EQ(doc.ReadNodeXML("/R/E"), "<E></E>");
    EXPECT_EQ(doc.ReadNode("/R/E"), "");
    EXPECT_TRUE(doc.WriteNode("/R/P", "only"));
    EXPECT_EQ(doc.ReadNodeXML("/R/P"), "<P>only</P>");
    const std::string before = doc.XML();
    EXPECT_FALSE(doc.WriteNode("/R/Q", "x"));
    EXPECT_EQ(doc.XML(), before);
}

TEST_F(CDoXMLNodes, ReadingTextMarkupAndAttributes)
{
    Load("<R a='1'><E></E><F>x<G>y</G></F></R>");
    EXPECT_EQ(doc.ReadNode("/R/E"), "");
    EXPECT_EQ(doc.ReadNode("/R/F"), "xy");
    EXPECT_EQ(doc.ReadNode("/R/Z"), std::nullopt);
    EXPECT_EQ(doc.ReadNodeXML("/R/F"), "<F>x<G>y</G></F>");
    EXPECT_EQ(doc.ReadNodeXML("/R/Z"), "");
    EXPECT_EQ(doc.ReadAttribute("/R", "a"), "1");
    EXPECT_EQ(doc.ReadAttribute("/R", "b"), std::nullopt);
    EXPECT_EQ(doc.ReadAttribute("/R/F/text()", "a"), std::nullopt);
}

// A default that the document type declares is the value of an attribute that an element does
// not give; removing its own value brings the default back. Defaults are not written.
TEST_F(CDoXMLNodes, DeclaredDefaultsAreReadNotWritten)
{
    Load("<!DOCTYPE R [<!ELEMENT R (E*)><!ELEMENT E EMPTY><!ATTLIST E d CDATA 'def' "
         "f CDATA #FIXED 'fix' i ID #IMPLIED>]><R><E i='a'/><E d='own'/></R>");
    EXPECT_EQ(doc.ReadAttribute("/R/E", "d"), "def");
    EXPECT_EQ(doc.ReadAttribute("/R/E", "f"), "fix");
    EXPECT_EQ(doc.ReadAttribute("/R/E[1]", "d"), "own");
    EXPECT_TRUE(doc.DeleteAttribute("/R/E[1]", "d"));
    EXPECT_EQ(doc.ReadAttribute("/R/E[1]", "d"), "def");
    EXPECT_EQ(doc.ReadAttribute("/R/E[1]", "i"), std::nullopt);
    EXPECT_EQ(doc.ReadNodeXML("/R/E"), "<E i=\"a\"></E>");
}

TEST_F(CDoXMLNodes, AttributesAreWrittenReplacedAndRemoved)
{
    Load("<R/>");
    EXPECT_TRUE(doc.WriteAttribute("/R", "a", "1 & 2"));
    EXPECT_TRUE(doc.WriteAttribute("/R", "a", "3"));
    EXPECT_EQ(doc.ReadAttribute("/R", "a"), "3");
    EXPECT_FALSE(doc.WriteAttribute("/R", "", "x"));
    EXPECT_TRUE(doc.DeleteAttribute("/R", "a"));
    EXPECT_EQ(doc.ReadAttribute("/R", "a"), std::nullopt);
    EXPECT_TRUE(doc.DeleteAttribute("/R", "a")); // removing what is absent is no error
    EXPECT_FALSE(doc.DeleteAttribute("/Q", "a"));
}

TEST_F(CDoXMLNodes, DeleteNodeRemovesSubtreeAndShiftsLaterSiblings)
{
    Load("<R><S>0</S><S>1<T/></S><S>2</S></R>");
    EXPECT_TRUE(doc.DeleteNode("/R/S[1]"));
    EXPECT_EQ(doc.XML(), "<R><S>0</S><S>2</S></R>\r\n");
    EXPECT_EQ(doc.ReadNode("/R/S[1]"), "2");
    EXPECT_TRUE(doc.DeleteNode("/R/S[1]"));
    EXPECT_FALSE(doc.DeleteNode("/R/S[1]"));
    EXPECT_FALSE(doc.DeleteNode("/R/@missing"));
}

TEST_F(CDoXMLNodes, CDataSectionIsAddedReusedOrRefused)
{
    Load("<R><E/><T>text</T><C><X/></C><M>a<X/></M></R>");
    EXPECT_TRUE(doc.WriteCDataSection("/R/E", "one"));
    EXPECT_TRUE(doc.WriteCDataSection("/R/E", "two"));
    EXPECT_EQ(doc.ReadNodeXML("/R/E"), "<E><![CDATA[two]]></E>");
    EXPECT_TRUE(doc.WriteCDataSection("/R/T", "<raw>"));
    EXPECT_EQ(doc.ReadNodeXML("/R/T"), "<T><![CDATA[<raw>]]></T>");
    EXPECT_TRUE(doc.WriteCDataSection("/R/C", "c"));
    EXPECT_EQ(doc.ReadNodeXML("/R/C"), "<C><![CDATA[c]]></C>");
    const std::string before = doc.XML();
    EXPECT_FALSE(doc.WriteCDataSection("/R/M", "m"));
    EXPECT_FALSE(doc.WriteCDataSection("/R/Z", "z"));
    EXPECT_EQ(doc.XML(), before);
}

// XPath reaches attributes, comments and processing instructions as nodes of the one tree.
TEST_F(CDoXMLNodes, NodesThatXPathSelectsAreReadWrittenAndKept)
{
    Load("<R a='1'><!--c--><?p d?><E>e</E></R>");
    EXPECT_EQ(doc.ReadNode("/R/@a"), "1");
    EXPECT_TRUE(doc.WriteNode("/R/@a", "2 & 3"));
    EXPECT_EQ(doc.ReadAttribute("/R", "a"), "2 & 3");
    EXPECT_EQ(doc.ReadNodeXML("/R/@a"), " a=\"2 &amp; 3\"");
    EXPECT_FALSE(doc.DeleteNode("/R/@a")); // an attribute is no child
    EXPECT_FALSE(doc.WriteCDataSection("/R/@a", "x"));
    EXPECT_EQ(doc.ReadNode("/R/comment()"), "c");
    EXPECT_FALSE(doc.WriteNode("/R/comment()", "a--b"));
    EXPECT_TRUE(doc.WriteNode("/R/processing-instruction()", "q"));
    EXPECT_TRUE(doc.DeleteNode("/R/comment()"));
    EXPECT_EQ(doc.ReadNode("/R"), "e");
    EXPECT_EQ(doc.XML(), "<R a=\"2 &amp; 3\"><?p q?><E>e</E></R>\r\n");
}

} // namespace
} // namespace qif2ldx::test
