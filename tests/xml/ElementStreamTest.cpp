// SPDX-License-Identifier: MIT
#include "xml/ElementStream.h"

#include <gtest/gtest.h>

namespace qif2ldx::test {
namespace {

// Keeps what the stream tells, as "<name", "text" and ">name" entries.
class Recorder final : public xml::IElementVisitor
{
public:
    void StartElement(std::string_view sName) override { seen += "<" + std::string(sName); }
    void Text(std::string_view sText) override { seen += sText; }
    void EndElement(std::string_view sName) override { seen += ">" + std::string(sName); }
    std::string seen;
};

TEST(ElementStream, TellsElementsAndDecodedTextOrWhyTheBytesAreNoDocument)
{
    const struct
    {
        std::string bytes;
        bool ok;
        std::string seen;
    } cases[] = {
        // 0x81 is one of the bytes the code page leaves undefined: a control character, as the
        // statement writer takes it.
        {"<A><B>x &amp; \x80\x81</B><C/></A>", true, "<A<Bx & \xE2\x82\xAC\xC2\x81>B<C>C>A"},
        {"<A><B></A>", false, ""},
        {"<A>&undeclared;</A>", false, ""},
        {"", false, ""},
    };
    for (const auto& c : cases) {
        Recorder recorder;
        std::string sError;
        EXPECT_EQ(xml::StreamElements(c.bytes, "windows-1252", recorder, sError), c.ok) << c.bytes;
        EXPECT_EQ(sError.empty(), c.ok) << sError;
        if (c.ok) {
            EXPECT_EQ(recorder.seen, c.seen);
        }
    }
}

TEST(ElementStream, ReadsDocumentsFarLargerThanTheParsersLookUpLimit)
{
    std::string bytes = "<A>";
    constexpr int kElements = 1'500'000; // about 15 MB
    for (int i = 0; i < kElements; ++i) {
        bytes += "<B>1</B>\r\n";
    }
    bytes += "</A>";
    Recorder recorder;
    std::string sError;
    ASSERT_TRUE(xml::StreamElements(bytes, "windows-1252", recorder, sError)) << sError;
    EXPECT_EQ(recorder.seen.size(), 2 + kElements * std::string("<B1>B\n").size() + 2);
}

} // namespace
} // namespace qif2ldx::test
