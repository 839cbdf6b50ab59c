// SPDX-License-Identifier: MIT
#include "xml/lean/LeanTree.h"

#include "xml/lean/LeanPaths.h"
#include "xml/lean/LeanWriter.h"
#include "xml/libxml/Loader.h"

#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace qif2ldx::test {
namespace {

using xml::lean::kNoNode;
using xml::lean::LeanPaths;
using xml::lean::LeanTree;
using xml::lean::NodeId;
using xml::lean::NodeKind;

void Load(LeanTree& tree, const std::string& document)
{
    ASSERT_EQ(xml::libxml::ParseInto(document, "", true, false, tree), std::nullopt) << document;
}

NodeId Element(LeanTree& tree, NodeId parent, const char* name)
{
    return tree.AppendElement(parent, tree.AddName(name));
}

struct TreeCase
{
    std::string label;
    std::function<void(LeanTree&)> change; // on the tree of "<R></R>"
    std::string written;
};

void PrintTo(const TreeCase& treeCase, std::ostream* out)
{
    *out << treeCase.label;
}

class LeanTreeChanges : public ::testing::TestWithParam<TreeCase>
{};

// Each change leaves the tree holding, and writing, what it says; every change counts in the
// revision that tells a copy of the tree that it is stale.
TEST_P(LeanTreeChanges, TheTreeHoldsWhatEachChangeMade)
{
    LeanTree tree;
    Load(tree, "<R></R>");
    const std::uint64_t before = tree.Revision();
    GetParam().change(tree);
    EXPECT_GT(tree.Revision(), before);
    EXPECT_EQ(xml::lean::WriteText(tree, LeanTree::kDocument), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LeanTreeChanges,
    ::testing::Values(
        TreeCase{"AnOnlyTextIsKeptThenGivenUpForASibling",
                 [](LeanTree& tree) {
                     const NodeId text = tree.AppendLeaf(tree.Root(), NodeKind::Text, "t");
                     EXPECT_EQ(tree.FirstChild(tree.Root()), text);
                     EXPECT_EQ(tree.Parent(text), tree.Root());
                     Element(tree, tree.Root(), "E");
                     EXPECT_EQ(tree.Kind(text), NodeKind::Free);
                     EXPECT_EQ(tree.Content(tree.FirstChild(tree.Root())), "t");
                 },
                 "<R>t<E></E></R>\r\n"},
        TreeCase{"RemovedNodesAreReusedAndTheirChildrenGoWithThem",
                 [](LeanTree& tree) {
                     const NodeId a = Element(tree, tree.Root(), "A");
                     const NodeId b = Element(tree, a, "B");
                     Element(tree, tree.Root(), "C");
                     tree.Remove(a);
                     const NodeId d = Element(tree, tree.Root(), "D");
                     const NodeId e = Element(tree, tree.Root(), "E");
                     EXPECT_TRUE((d == a && e == b) || (d == b && e == a));
                 },
                 "<R><C></C><D></D><E></E></R>\r\n"},
        TreeCase{"AttributesKeepTheirPlaceAndLeaveAnyOne",
                 [](LeanTree& tree) {
                     for (const char* name : {"a", "b", "c", "d"}) {
                         tree.SetAttribute(tree.Root(), name, name);
                     }
                     tree.SetAttribute(tree.Root(), "a", "A");
                     tree.Remove(tree.FindAttribute(tree.Root(), "b"));
                     tree.Remove(tree.FindAttribute(tree.Root(), "d"));
                     EXPECT_EQ(tree.FindAttribute(tree.Root(), "b"), kNoNode);
                     EXPECT_EQ(tree.Parent(tree.FirstAttribute(tree.Root())), tree.Root());
                     tree.SetAttribute(tree.Root(), "e", "");
                 },
                 "<R a=\"A\" c=\"c\" e=\"\"></R>\r\n"},
        TreeCase{"TheLastAttributeGoneLeavesNone",
                 [](LeanTree& tree) {
                     tree.SetAttribute(tree.Root(), "a", "1");
                     tree.Remove(tree.FindAttribute(tree.Root(), "a"));
                     EXPECT_EQ(tree.FirstAttribute(tree.Root()), kNoNode);
                 },
                 "<R></R>\r\n"},
        TreeCase{"TextsOfEveryLengthAndKindKeepTheirBytes",
                 [](LeanTree& tree) {
                     for (const std::size_t length : {0U, 1U, 127U, 128U, 16384U, 200000U}) {
                         const NodeId e = Element(tree, tree.Root(), "E");
                         tree.AppendLeaf(e, NodeKind::CData, std::string(length, 'x'));
                         EXPECT_EQ(tree.Content(tree.FirstChild(e)).size(), length);
                     }
                     tree.RemoveChildren(tree.Root());
                     const NodeId comment = tree.AppendLeaf(tree.Root(), NodeKind::Comment, "c");
                     tree.SetContent(comment, "d");
                     tree.AppendLeaf(tree.Root(), NodeKind::ProcessingInstruction, "x",
                                     tree.AddName("p"));
                     tree.AppendLeaf(tree.Root(), NodeKind::EntityReference, "text",
                                     tree.AddName("e"));
                 },
                 "<R><!--d--><?p x?>&e;</R>\r\n"}),
    [](const auto& test) { return test.param.label; });

TEST(LeanTree, HandlesLeadBackToTheirNodesAcrossBlocks)
{
    LeanTree tree;
    Load(tree, "<R></R>");
    std::vector<NodeId> nodes;
    for (int i = 0; i < 40000; ++i) {
        const NodeId e = Element(tree, tree.Root(), "E");
        nodes.push_back(e);
        if (i % 1000 == 0) {
            nodes.push_back(tree.AppendLeaf(e, NodeKind::Text, "t")); // a kept text
            nodes.push_back(tree.SetAttribute(e, "a", "v"));
        }
    }
    for (const NodeId node : nodes) {
        ASSERT_EQ(LeanTree::IdOf(tree.Ref(node)), node);
    }
    EXPECT_EQ(tree.Ref(kNoNode), nullptr);
    EXPECT_EQ(LeanTree::IdOf(nullptr), kNoNode);
}

// One step against the paths: a query and what it must find (the id attribute of the element,
// "new" for one without, "none" for no element), a count, or a change.
struct PathStep
{
    enum Kind
    {
        First,  // value: what the first match is
        Count,  // value: how many match
        Append, // under the first match of path, an element named value
        Remove, // the first match of path
        Clear   // the children of the first match of path
    } kind;
    std::string path;
    std::string value;
};

struct PathCase
{
    std::string label;
    std::string document;
    std::vector<PathStep> steps;
};

void PrintTo(const PathCase& pathCase, std::ostream* out)
{
    *out << pathCase.label;
}

class LeanPathsRemember : public ::testing::TestWithParam<PathCase>
{};

// What the paths remember to answer a builder in constant time never makes them answer other
// than a walk of the tree would, whatever changes come between the queries.
TEST_P(LeanPathsRemember, AnswersStayTrueAcrossChanges)
{
    LeanTree tree;
    Load(tree, GetParam().document);
    LeanPaths paths(tree);
    const auto first = [&](const std::string& path) {
        LeanPaths::Query* query = paths.Parse(path);
        EXPECT_NE(query, nullptr) << path;
        return query == nullptr ? kNoNode : paths.First(*query);
    };
    for (const PathStep& step : GetParam().steps) {
        switch (step.kind) {
        case PathStep::First: {
            const NodeId node = first(step.path);
            const NodeId id = node == kNoNode ? kNoNode : tree.FindAttribute(node, "id");
            const std::string found = node == kNoNode ? "none"
                                      : id == kNoNode ? "new"
                                                      : std::string(tree.Content(id));
            EXPECT_EQ(found, step.value) << step.path;
            break;
        }
        case PathStep::Count:
            EXPECT_EQ(std::to_string(paths.Count(*paths.Parse(step.path))), step.value)
                << step.path;
            break;
        case PathStep::Append:
            paths.AppendElement(first(step.path), tree.AddName(step.value));
            break;
        case PathStep::Remove:
            paths.Remove(first(step.path));
            break;
        case PathStep::Clear:
            paths.RemoveChildren(first(step.path));
            break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LeanPathsRemember,
    ::testing::Values(PathCase{"PositionsFollowAppendedSiblings",
                               R"(<R><A id="a0"/><!--c--><B/><A id="a1"/></R>)",
                               {{PathStep::First, "/R/A[1]", "a1"},
                                {PathStep::First, "/R/A[2]", "none"},
                                {PathStep::Append, "/R", "A"},
                                {PathStep::First, "/R/A[2]", "new"},
                                {PathStep::First, "/R/A[0]", "a0"},
                                {PathStep::First, "A[1]", "a1"},
                                {PathStep::Count, "/R/A", "3"}}},
                      PathCase{"AnAppendEarlierInTheTreeReplacesTheRememberedMatch",
                               R"(<R><X id="x0"/><X id="x1"><Y id="y1"/></X></R>)",
                               {{PathStep::First, "/R/X/Y", "y1"},
                                {PathStep::Append, "/R/X", "Y"},
                                {PathStep::First, "/R/X/Y", "new"},
                                {PathStep::Append, "/R/X/Y", "Z"},
                                {PathStep::Append, "/R", "X"},
                                {PathStep::First, "/R/X/Y", "new"},
                                {PathStep::Count, "/R/X/Y", "2"}}},
                      PathCase{"RemovingNodesForgetsEverythingRemembered",
                               R"(<R><A id="a0"/><A id="a1"><C/></A><A id="a2"/></R>)",
                               {{PathStep::First, "/R/A[1]", "a1"},
                                {PathStep::First, "/R/A[1]/C", "new"},
                                {PathStep::Remove, "/R/A[1]", ""},
                                {PathStep::First, "/R/A[1]", "a2"},
                                {PathStep::First, "/R/A/C", "none"},
                                {PathStep::Clear, "/R", ""},
                                {PathStep::First, "/R/A", "none"},
                                {PathStep::Count, "/R/A", "0"}}},
                      PathCase{"NamesAreLookedUpAgainUntilTheyExist",
                               R"(<R><A id="a0"/><B id="b0"/></R>)",
                               {{PathStep::First, "/R/A[0]", "a0"},
                                {PathStep::First, "/R/B[0]", "b0"},
                                {PathStep::Count, "/R/N", "0"},
                                {PathStep::Append, "/R", "N"},
                                {PathStep::Count, "/R/N", "1"},
                                {PathStep::First, "/R/N[0]", "new"}}}),
    [](const auto& test) { return test.param.label; });

} // namespace
} // namespace qif2ldx::test
