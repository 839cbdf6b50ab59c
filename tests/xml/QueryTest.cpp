// SPDX-License-Identifier: MIT
#include "XmlFixture.h"
#include "xml/dom/ElementPath.h"

namespace qif2ldx::test {
namespace {

class CDoXMLQuery : public XmlFixture
{
protected:
    void SetUp() override
    {
        Load("<OFX><A id='a0'><B>a0b0</B><B>a0b1</B></A><A id='a1'><C>a1c0</C></A>"
             "<A id='a2'><C>a2c0</C><C>a2c1</C><C>a2c2</C></A></OFX>");
    }
};

TEST_F(CDoXMLQuery, IndexCountsFromZeroInsideLongerPaths)
{
    EXPECT_EQ(doc.ReadNode("/OFX/A[0]/B[1]"), "a0b1");
    EXPECT_EQ(doc.ReadNode("/OFX/A[2]/C[2]"), "a2c2");
    EXPECT_EQ(doc.ReadNode("/OFX[0]/A[2]/C[0]"), "a2c0");
    EXPECT_EQ(doc.ReadNode("/OFX/A[0]/B[2]"), std::nullopt);
    EXPECT_EQ(doc.ReadNode("/OFX/A[3]"), std::nullopt);
    EXPECT_EQ(doc.ReadNode("/OFX[1]"), std::nullopt);
    EXPECT_EQ(doc.ReadNode("/OFX/A[99999999999999999999]"), std::nullopt);
}

TEST_F(CDoXMLQuery, FirstMatchInDocumentOrderAcrossParents)
{
    EXPECT_EQ(doc.ReadNode("/OFX/A/C"), "a1c0");
    EXPECT_EQ(doc.ReadNode("/OFX/A/C[1]"), "a2c1");
    EXPECT_EQ(doc.NodeCount("/OFX/A/C"), 4);
    EXPECT_EQ(doc.NodeCount("/OFX/A/C[0]"), 2);
    EXPECT_EQ(doc.NodeCount("/OFX/A/D"), 0);
}

TEST_F(CDoXMLQuery, RelativePathsStartAtTheRootElement)
{
    EXPECT_EQ(doc.ReadNode("A[1]/C"), "a1c0");
    EXPECT_EQ(doc.ReadNode("OFX/A"), std::nullopt);
    EXPECT_EQ(doc.ReadNode("/A"), std::nullopt);
}

TEST_F(CDoXMLQuery, OtherQueriesGoToXPathWithIndexesFromZero)
{
    EXPECT_EQ(doc.ReadNode("//C[1]"), "a2c1");
    EXPECT_EQ(doc.ReadNode("/OFX/*[1]/C"), "a1c0");
    EXPECT_EQ(doc.ReadNode("/OFX/A[@id='a2']/C[ 2 ]"), "a2c2");
    EXPECT_EQ(doc.ReadNode("/OFX/A[@id='[0]']"), std::nullopt);
    EXPECT_EQ(doc.ReadAttribute("//A[last()]", "id"), "a2");
    EXPECT_EQ(doc.NodeCount("//C"), 4);
}

TEST_F(CDoXMLQuery, EmptyUnreadableAndNonNodeQueriesFail)
{
    for (const char* query : {"", "/OFX/", "/OFX/A[", "count(//A)", "/OFX/A]"}) {
        EXPECT_EQ(doc.ReadNode(query), std::nullopt) << query;
        EXPECT_EQ(doc.NodeCount(query), -1) << query;
        EXPECT_FALSE(doc.WriteNode(query, "x")) << query;
    }
    // Namespace nodes exist only inside a query's result, so none is ever handed out.
    EXPECT_EQ(doc.ReadNode("/OFX/namespace::*"), std::nullopt);
    EXPECT_FALSE(doc.DeleteNode("/OFX/namespace::*"));
}

TEST_F(CDoXMLQuery, RemovalForgetsRememberedPositions)
{
    EXPECT_EQ(doc.ReadNode("/OFX/A[2]/C[2]"), "a2c2");
    ASSERT_TRUE(doc.DeleteNode("/OFX/A[2]/C[0]"));
    EXPECT_EQ(doc.ReadNode("/OFX/A[2]/C[1]"), "a2c2");
    EXPECT_EQ(doc.ReadNode("/OFX/A[2]/C[2]"), std::nullopt);
    ASSERT_TRUE(doc.WriteNode("/OFX/A[2]", "text"));
    EXPECT_EQ(doc.ReadNode("/OFX/A[2]/C[0]"), std::nullopt);
}

TEST(ElementPath, PlainPathsAndEverythingElse)
{
    const auto path = xml::ParseElementPath("/OFX/VELT.BID/STMTTRN[12]/a-b_c");
    ASSERT_TRUE(path);
    EXPECT_TRUE(path->bolAbsolute);
    ASSERT_EQ(path->steps.size(), 4U);
    EXPECT_EQ(path->steps[1].strName, "VELT.BID");
    EXPECT_EQ(path->steps[2].index, 12U);
    EXPECT_FALSE(path->steps[3].index);
    for (const char* other : {"", "/", "//A", "A/", "A[]", "A[1", "A[x]", "*", "A[0][0]", "1A",
                              "A/@b", "A[ 1]", "A/text()"}) {
        EXPECT_FALSE(xml::ParseElementPath(other)) << other;
    }
}

TEST(ElementPath, TranslationAddsOneToWholeNumberPredicatesOnly)
{
    EXPECT_EQ(xml::TranslateIndexesForXPath("//A[0]/B[9][ 99 ]"), "//A[1]/B[10][100]");
    EXPECT_EQ(xml::TranslateIndexesForXPath("A[@x='[0]'][\"[1]\"][position()=1]"),
              "A[@x='[0]'][\"[1]\"][position()=1]");
    EXPECT_EQ(xml::TranslateIndexesForXPath("A['unterminated[0]"), "A['unterminated[0]");
}

} // namespace
} // namespace qif2ldx::test
