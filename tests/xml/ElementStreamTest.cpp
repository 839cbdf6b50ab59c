// SPDX-License-Identifier: MIT
#include "xml/ElementStream.h"

#include "platform/File.h"
#include "support/TempDir.h"

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

struct StreamCase
{
    std::string bytes;
    xml::StreamStatus status;
    std::string seen;
};

class ElementStreamBytes : public ::testing::TestWithParam<StreamCase>
{};

TEST_P(ElementStreamBytes, TellsElementsAndDecodedTextOrWhyTheBytesAreNoDocument)
{
    Recorder recorder;
    const xml::StreamResult result =
        xml::StreamElements(GetParam().bytes, "windows-1252", recorder);
    EXPECT_EQ(result.status, GetParam().status);
    EXPECT_EQ(static_cast<bool>(result), GetParam().status == xml::stsOk);
    EXPECT_EQ(result.sReason.empty(), GetParam().status == xml::stsOk) << result.sReason;
    if (result) {
        EXPECT_EQ(recorder.seen, GetParam().seen);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ElementStreamBytes,
                         ::testing::Values(
                             // 0x81 is one of the bytes the code page leaves undefined: a control
                             // character, as the statement writer takes it.
                             StreamCase{"<A><B>x &amp; \x80\x81</B><C/></A>", xml::stsOk,
                                        "<A<Bx & \xE2\x82\xAC\xC2\x81>B<C>C>A"},
                             StreamCase{"<A><B></A>", xml::stsNotWellFormed, ""},
                             StreamCase{"<A>&undeclared;</A>", xml::stsNotWellFormed, ""},
                             StreamCase{"", xml::stsNotWellFormed, ""}));

// About 15 MB of elements, far beyond the parser's look-up limit and the file's read pieces.
std::string LargeDocument(int elements)
{
    std::string bytes = "<A>";
    for (int i = 0; i < elements; ++i) {
        bytes += "<B>" + std::to_string(i % 10) + "</B>\r\n";
    }
    return bytes + "</A>";
}

TEST(ElementStream, ReadsDocumentsFarLargerThanTheParsersLookUpLimit)
{
    constexpr int kElements = 1'500'000;
    Recorder recorder;
    const xml::StreamResult result =
        xml::StreamElements(LargeDocument(kElements), "windows-1252", recorder);
    ASSERT_TRUE(result) << result.sReason;
    EXPECT_EQ(recorder.seen.size(), 2 + kElements * std::string("<B1>B\n").size() + 2);
}

TEST(ElementStream, FileIsReadFromTheOffsetToItsEndInPieces)
{
    TempDir dir;
    const std::string header = "HEADER: 1\r\n";
    constexpr int kElements = 300'000; // several of the pieces the file is read in
    WriteBytes(dir.File("s.LDX"), header + LargeDocument(kElements));
    const platform::Result<platform::UniqueFd> file = platform::OpenRegularFile(dir.File("s.LDX"));
    ASSERT_TRUE(file);

    Recorder whole;
    const xml::StreamResult read =
        xml::StreamFileElements(file.value.Get(), header.size(), "windows-1252", whole);
    ASSERT_TRUE(read) << read.sReason;
    Recorder expected;
    ASSERT_TRUE(xml::StreamElements(LargeDocument(kElements), "windows-1252", expected));
    EXPECT_EQ(whole.seen, expected.seen);

    Recorder fromStart;
    EXPECT_EQ(xml::StreamFileElements(file.value.Get(), 0, "windows-1252", fromStart).status,
              xml::stsNotWellFormed);
    Recorder closed;
    EXPECT_EQ(xml::StreamFileElements(-1, 0, "windows-1252", closed).status, xml::stsUnreadable);
}

} // namespace
} // namespace qif2ldx::test
