// SPDX-License-Identifier: MIT
#include "XmlFixture.h"
#include "xml/DomDocument.h"

#include <filesystem>
#include <memory>
#include <vector>

namespace qif2ldx::test {
namespace {

using xml::CDoXML;
using xml::ParserRegistry;

// Records the class names it was asked to create.
struct CreationLog
{
    std::vector<std::string> names;
};

std::shared_ptr<ParserRegistry> RegistryWith(const std::vector<std::string>& names,
                                             std::shared_ptr<CreationLog> log)
{
    auto registry = std::make_shared<ParserRegistry>();
    for (const auto& name : names) {
        registry->Register(name, [name, log] {
            log->names.push_back(name);
            return std::make_unique<xml::DomDocument>();
        });
    }
    return registry;
}

class CDoXMLBinding : public XmlFixture
{
protected:
    std::shared_ptr<CreationLog> log = std::make_shared<CreationLog>();
};

TEST_F(CDoXMLBinding, HighestFindsAllFiveNamesAndPicksFour)
{
    EXPECT_EQ(doc.Initialize(xml::pavHighest), xml::pavMSXML40);
    EXPECT_EQ(doc.XMLParserVersion(), xml::pavMSXML40);
    for (const auto version : {xml::pavMSXML1, xml::pavMSXML26, xml::pavMSXML30}) {
        EXPECT_EQ(doc.Initialize(version), version);
    }
}

TEST_F(CDoXMLBinding, OnlyThreeAvailableLoadsThroughVersionIndependentClass)
{
    CDoXML only3(messages, folder,
                 RegistryWith({"Msxml2.DOMDocument.3.0", "Msxml2.DOMDocument"}, log));
    EXPECT_EQ(only3.Initialize(xml::pavHighest), xml::pavMSXML30);
    EXPECT_EQ(only3.XMLParserVersion(), xml::pavMSXML30);
    log->names.clear();
    ASSERT_TRUE(only3.OpenFromString("<R/>", false));
    EXPECT_EQ(log->names, std::vector<std::string>{"Msxml2.DOMDocument"});
}

TEST_F(CDoXMLBinding, UnavailableOrUnknownVersionGivesNoneAndLoadsThrow)
{
    CDoXML only1(messages, folder, RegistryWith({"Msxml.DOMDocument"}, log));
    EXPECT_EQ(only1.Initialize(xml::pavMSXML40), xml::pavNone);
    EXPECT_THROW(static_cast<void>(only1.OpenFromFile(dir.File("x.xml"), true)), xml::XmlError);
    for (const int value : {0, 5, 98, 100, -1}) {
        EXPECT_EQ(doc.Initialize(static_cast<xml::ParserVersion>(value)), xml::pavNone) << value;
    }
    CDoXML none(messages, folder, RegistryWith({}, log));
    EXPECT_EQ(none.Initialize(xml::pavHighest), xml::pavNone);
    EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(CDoXMLBinding, InitializeKeepsTheHeldDocumentButBlocksTheNextLoad)
{
    Load("<R><A>x</A></R>");
    EXPECT_EQ(doc.Initialize(static_cast<xml::ParserVersion>(7)), xml::pavNone);
    EXPECT_EQ(doc.ReadNode("/R/A"), "x");
    EXPECT_TRUE(doc.InsertNode("/R", "B", std::nullopt, "", std::nullopt, xml::norChild));
    EXPECT_THROW(static_cast<void>(doc.OpenFromString("<R/>", false)), xml::XmlError);
    EXPECT_EQ(doc.ReadNode("/R/A"), std::nullopt);
}

TEST_F(CDoXMLBinding, NewObjectReturnsFailureValuesEverywhere)
{
    CDoXML fresh(messages, folder);
    EXPECT_EQ(fresh.XMLParserVersion(), xml::pavNone);
    EXPECT_THROW(static_cast<void>(fresh.XML()), xml::XmlError);
    EXPECT_EQ(fresh.XMLDocumentInfo(xml::xdiVersion), std::nullopt);
    EXPECT_EQ(fresh.ReadNodeXML("/R"), "");
    EXPECT_EQ(fresh.NodeCount("/R"), -1);
    EXPECT_EQ(fresh.ReadNode("/R"), std::nullopt);
    EXPECT_EQ(fresh.ReadAttribute("/R", "a"), std::nullopt);
    EXPECT_FALSE(fresh.DeleteNode("/R"));
    EXPECT_FALSE(fresh.WriteNode("/R", "x"));
    EXPECT_FALSE(fresh.WriteAttribute("/R", "a", "x"));
    EXPECT_FALSE(fresh.WriteCDataSection("/R", "x"));
    EXPECT_FALSE(fresh.InsertNode("/R", "A", std::nullopt, "", std::nullopt, xml::norChild));
    EXPECT_FALSE(fresh.DeleteAttribute("/R", "a"));
    EXPECT_FALSE(fresh.Reparse());
    EXPECT_FALSE(fresh.Save(dir.File("never.xml")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("never.xml")));
}

// A parser whose text loads fail with the code that sends version 1 through a temporary file;
// it notes what the file held when it was loaded.
class WorkaroundParser : public xml::DomDocument
{
public:
    explicit WorkaroundParser(std::shared_ptr<std::string> seen) : seen_(std::move(seen)) {}

    bool LoadXML(const std::string& /*strSource*/) override
    {
        failedText_ = true;
        return false;
    }
    bool Load(const std::string& strFileName) override
    {
        *seen_ = ReadBytes(strFileName);
        return DomDocument::Load(strFileName);
    }
    xml::DomParseError ParseError() const override
    {
        if (failedText_) {
            return {static_cast<std::int32_t>(0xC00CE56FU), "workaround\r\n", 1, 1, ""};
        }
        return DomDocument::ParseError();
    }

private:
    std::shared_ptr<std::string> seen_;
    bool failedText_ = false;
};

TEST_F(CDoXMLBinding, VersionOneRetriesFailedTextThroughTemporaryFile)
{
    auto seen = std::make_shared<std::string>();
    auto registry = std::make_shared<ParserRegistry>();
    for (const char* name : {"Msxml.DOMDocument", "Msxml2.DOMDocument.3.0", "Msxml2.DOMDocument"}) {
        registry->Register(name, [seen] { return std::make_unique<WorkaroundParser>(seen); });
    }
    CDoXML v1(messages, folder, registry);
    ASSERT_EQ(v1.Initialize(xml::pavMSXML1), xml::pavMSXML1);
    EXPECT_TRUE(v1.OpenFromString("<R>ok</R>", true));
    EXPECT_EQ(*seen, "<R>ok</R>\r\n");
    EXPECT_EQ(v1.ReadNode("/R"), "ok");
    EXPECT_FALSE(std::filesystem::exists(dir.File("tempgoxml.xml")));
    EXPECT_TRUE(messages.Messages().empty());

    // The file is written in Windows-1252, which the second load cannot read as UTF-8: that
    // load fails with a report of its own.
    EXPECT_FALSE(v1.OpenFromString("<R>caf\xC3\xA9</R>", true));
    EXPECT_EQ(*seen, "<R>caf\xE9</R>\r\n");
    EXPECT_EQ(messages.Messages().size(), 1U);
    EXPECT_FALSE(std::filesystem::exists(dir.File("tempgoxml.xml")));

    seen->clear();
    CDoXML v3(messages, folder, registry);
    ASSERT_EQ(v3.Initialize(xml::pavMSXML30), xml::pavMSXML30);
    EXPECT_FALSE(v3.OpenFromString("<R/>", false));
    EXPECT_EQ(*seen, "");
}

} // namespace
} // namespace qif2ldx::test
