// SPDX-License-Identifier: MIT
#include "xml/libxml/PathIndex.h"

#include "xml/libxml/Handles.h"

#include <gtest/gtest.h>
#include <string>

namespace qif2ldx::test {
namespace {

using xml::libxml::DocPtr;

class PathIndexTest : public ::testing::Test
{
protected:
    void Load(const std::string& text)
    {
        doc.reset(xmlReadMemory(text.data(), static_cast<int>(text.size()), "", nullptr, 0));
        ASSERT_NE(doc, nullptr);
        index.Reset(doc.get());
    }

    xmlNode* First(const std::string& query)
    {
        const auto& path = index.Parsed(query);
        EXPECT_TRUE(path) << query;
        return path ? index.First(query, *path) : nullptr;
    }

    // Appends a new element under parent through the index.
    xmlNode* Append(xmlNode* parent, const char* name)
    {
        xmlNode* node =
            xmlNewDocNode(doc.get(), nullptr, reinterpret_cast<const xmlChar*>(name), nullptr);
        EXPECT_TRUE(index.AppendChild(parent, node));
        return node;
    }

    static std::string Id(const xmlNode* node)
    {
        if (node == nullptr) {
            return "none";
        }
        xmlChar* id = xmlGetProp(node, reinterpret_cast<const xmlChar*>("id"));
        std::string text = id == nullptr ? "new" : reinterpret_cast<const char*>(id);
        xmlFree(id);
        return text;
    }

    DocPtr doc;
    xml::libxml::PathIndex index;
};

TEST_F(PathIndexTest, RememberedPositionsFollowAppendedSiblings)
{
    Load(R"(<R><A id="a0"/><B/><A id="a1"/></R>)");
    EXPECT_EQ(Id(First("/R/A[1]")), "a1");
    EXPECT_EQ(Id(First("/R/A[2]")), "none");
    Append(index.Root(), "A");
    EXPECT_EQ(Id(First("/R/A[2]")), "new");
    EXPECT_EQ(Id(First("/R/A[0]")), "a0");
    EXPECT_EQ(Id(First("A[1]")), "a1");
    EXPECT_EQ(index.Count(*index.Parsed("/R/A")), 3);
}

TEST_F(PathIndexTest, AnAppendThatComesEarlierInTheTreeReplacesTheRememberedMatch)
{
    Load(R"(<R><X id="x0"/><X id="x1"><Y id="y1"/></X></R>)");
    EXPECT_EQ(Id(First("/R/X/Y")), "y1");
    xmlNode* firstX = First("/R/X");
    Append(firstX, "Y");
    EXPECT_EQ(First("/R/X/Y"), firstX->children);
    // Appending inside the match, or after it, keeps it.
    xmlNode* match = First("/R/X/Y");
    Append(match, "Z");
    Append(index.Root(), "X");
    EXPECT_EQ(First("/R/X/Y"), match);
}

TEST_F(PathIndexTest, RemovingNodesForgetsEverythingRemembered)
{
    Load(R"(<R><A id="a0"/><A id="a1"><C/></A><A id="a2"/></R>)");
    xmlNode* second = First("/R/A[1]");
    EXPECT_EQ(Id(First("/R/A[1]/C")), "new"); // C has no id
    index.RemoveChild(second);
    EXPECT_EQ(Id(First("/R/A[1]")), "a2");
    EXPECT_EQ(First("/R/A/C"), nullptr);
    index.RemoveChildren(index.Root());
    EXPECT_EQ(First("/R/A"), nullptr);
    EXPECT_EQ(index.Count(*index.Parsed("/R/A")), 0);
}

} // namespace
} // namespace qif2ldx::test
