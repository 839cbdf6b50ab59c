// SPDX-License-Identifier: MIT
#include "XmlFixture.h"

namespace qif2ldx::test {
namespace {

using xml::norChild;
using xml::norSibling;

class CDoXMLInsert : public XmlFixture
{
protected:
    bool Insert(const std::string& query, const std::string& name,
                std::optional<std::string> value = std::nullopt,
                xml::NodeRelationship relationship = norChild)
    {
        return doc.InsertNode(query, name, value, "", std::nullopt, relationship);
    }
};

TEST_F(CDoXMLInsert, ChildOfEmptyRootLoadedFromFile)
{
    WriteBytes(dir.File("s.LDX"), "<OFX></OFX>\r\n");
    ASSERT_TRUE(doc.OpenFromFile(dir.File("s.LDX"), true));
    EXPECT_TRUE(Insert("/OFX", "SIGNONMSGSRSV1"));
    EXPECT_EQ(doc.XML(), "<OFX><SIGNONMSGSRSV1></SIGNONMSGSRSV1></OFX>\r\n");
}

TEST_F(CDoXMLInsert, LikeNamedChildrenAreReachedByIndex)
{
    Load("<OFX><L/></OFX>");
    EXPECT_TRUE(Insert("/OFX/L", "STMTTRN"));
    EXPECT_TRUE(Insert("/OFX/L", "STMTTRN"));
    EXPECT_TRUE(Insert("/OFX/L/STMTTRN[0]", "FITID", "0"));
    EXPECT_TRUE(Insert("/OFX/L/STMTTRN[1]", "FITID", "1"));
    const std::string before = doc.XML();
    EXPECT_FALSE(Insert("/OFX/L/STMTTRN[2]", "FITID", "2"));
    EXPECT_EQ(doc.XML(), before);
    EXPECT_EQ(before, "<OFX><L><STMTTRN><FITID>0</FITID></STMTTRN>"
                      "<STMTTRN><FITID>1</FITID></STMTTRN></L></OFX>\r\n");
}

TEST_F(CDoXMLInsert, FailuresLeaveTheTreeUnchanged)
{
    Load("<R><A/><B/><C/></R>");
    const std::string before = doc.XML();
    EXPECT_FALSE(Insert("/R/Z", "N"));
    EXPECT_FALSE(Insert("/R/Z", "N", std::nullopt, norSibling));
    EXPECT_FALSE(Insert("", "N"));
    EXPECT_FALSE(Insert("/R", "N", std::nullopt, norSibling)); // the root has no element parent
    EXPECT_FALSE(Insert("/R", "N", std::nullopt, static_cast<xml::NodeRelationship>(2)));
    EXPECT_FALSE(Insert("/R", "bad name"));
    EXPECT_FALSE(Insert("/R", ""));
    EXPECT_FALSE(Insert("/R", "N", std::string("\xC3"))); // not UTF-8
    EXPECT_FALSE(Insert("/", "SECONDROOT"));
    EXPECT_EQ(doc.XML(), before);
}

TEST_F(CDoXMLInsert, SiblingGoesLastUnderTheParent)
{
    Load("<R><A/><B/><C/></R>");
    EXPECT_TRUE(Insert("/R/B", "N", std::nullopt, norSibling));
    EXPECT_EQ(doc.XML(), "<R><A></A><B></B><C></C><N></N></R>\r\n");
}

TEST_F(CDoXMLInsert, EmptyAndAbsentValuesGiveTheSameEmptyElement)
{
    Load("<R/>");
    EXPECT_TRUE(Insert("/R", "A", std::string()));
    EXPECT_TRUE(Insert("/R", "B"));
    EXPECT_EQ(doc.ReadNodeXML("/R/A"), "<A></A>");
    EXPECT_EQ(doc.ReadNodeXML("/R/B"), "<B></B>");
    EXPECT_EQ(doc.NodeCount("/R/A/text()"), 0);
}

TEST_F(CDoXMLInsert, AttributeWithEmptyNameFailsAfterTheElementJoined)
{
    Load("<R/>");
    EXPECT_FALSE(doc.InsertNode("/R", "A", std::string("v"), "", std::string("x"), norChild));
    EXPECT_EQ(doc.XML(), "<R><A>v</A></R>\r\n");
    EXPECT_TRUE(doc.InsertNode("/R", "B", std::nullopt, "k", std::string("x"), norChild));
    EXPECT_EQ(doc.ReadAttribute("/R/B", "k"), "x");
}

} // namespace
} // namespace qif2ldx::test
