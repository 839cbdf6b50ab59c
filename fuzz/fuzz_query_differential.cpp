// SPDX-License-Identifier: MIT
// The one tree against libxml2. Each step selects a plain path twice, through the program's own
// paths and through libxml2's XPath over its copy of the tree, and both must hand out the same
// node; the node is read and changed. After each step the document, parsed again by libxml2 and
// written by libxml2's own serialiser (Serialiser.h beside this file), must come out byte for
// byte as the program wrote it, as text and as a saved file, and XPath over the copy must find
// as many elements and attributes as over libxml2's own parse.
#include "FuzzSupport.h"
#include "Serialiser.h"
#include "platform/File.h"
#include "xml/DomDocument.h"
#include "xml/dom/DomError.h"
#include "xml/dom/ElementPath.h"
#include "xml/libxml/Handles.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>

namespace {

using qif2ldx::xml::DomDocument;
using qif2ldx::xml::DomError;
using qif2ldx::xml::NodeRef;
using qif2ldx::xml::libxml::DocPtr;

[[noreturn]] void Differ(const std::string& what)
{
    std::fprintf(stderr, "the tree and libxml2 differ: %s\n", what.c_str());
    std::abort();
}

// A plain path from the fuzzer's bytes over a small alphabet of names, so that paths match.
std::string PlainPath(qif2ldx::fuzz::Reader& reader)
{
    static const char* const kNames[] = {"OFX", "A", "B", "C", "STMTTRN", "x.y"};
    std::string path = reader.Byte() % 2 == 0 ? "/" : "";
    const int steps = 1 + reader.Byte() % 5;
    for (int i = 0; i < steps; ++i) {
        if (i > 0) {
            path += '/';
        }
        path += kNames[reader.Byte() % 6];
        const std::uint8_t index = reader.Byte();
        if (index % 3 == 0) {
            path += "[" + std::to_string(index % 7) + "]";
        }
    }
    return path;
}

// A name for a new element or attribute: mostly ones that paths use, some that are refused.
std::string NewName(qif2ldx::fuzz::Reader& reader)
{
    static const char* const kNames[] = {"A",   "B",           "C", "STMTTRN", "x.y",
                                         "a:b", "caf\xC3\xA9", "",  "bad name"};
    return kNames[reader.Byte() % std::size(kNames)];
}

// A text for a node or attribute: mostly ones that each rule of writing and storing text
// meets, some straight from the fuzzer.
std::string NewText(qif2ldx::fuzz::Reader& reader)
{
    static const char* const kTexts[] = {"",
                                         "t",
                                         "a\tb\nc\rd\r\n",
                                         "&<>\"'",
                                         "]]>x]]]>",
                                         "caf\xC3\xA9 \xE2\x82\xAC",
                                         "\xF0\x9F\x98\x80",
                                         "\x01\x1F\x7F",
                                         "\xC3",
                                         "\xEF\xBF\xBE"};
    const std::uint8_t choice = reader.Byte();
    return choice < 200 ? kTexts[choice % std::size(kTexts)] : reader.String();
}

// Runs an operation; true when the document refused it.
template <class Operation> bool Refused(const Operation& operation)
{
    try {
        operation();
        return false;
    } catch (const DomError&) {
        return true;
    }
}

// Selects the path as a plain path and through XPath; both must find the same node, or none.
NodeRef Select(DomDocument& doc, const std::string& path)
{
    NodeRef node = nullptr;
    std::int32_t count = 0;
    const bool refused = Refused([&] {
        node = doc.SelectSingleNode(path);
        count = doc.SelectNodesLength(path);
    });
    // XPath starts at the root element even for an absolute path.
    if (doc.DocumentElement() != nullptr) {
        const std::string asXPath = "(" + path + ")";
        if (refused || doc.SelectSingleNode(asXPath) != node ||
            doc.SelectNodesLength(asXPath) != count) {
            Differ("XPath of " + path);
        }
    }
    return node;
}

void Operate(DomDocument& doc, NodeRef node, qif2ldx::fuzz::Reader& reader)
{
    const std::uint8_t op = reader.Byte() % 9;
    const std::string name = NewName(reader);
    const std::string text = NewText(reader);
    static_cast<void>(Refused([&] {
        const NodeRef first = doc.FirstChild(node);
        switch (op) {
        case 0:
            doc.AppendElement(node, name, text.empty() ? std::nullopt : std::optional(text));
            break;
        case 1:
            doc.RemoveChild(doc.ParentNode(node), node);
            break;
        case 2:
            doc.SetText(node, text);
            break;
        case 3:
            doc.SetAttribute(node, name, text);
            break;
        case 4:
            doc.RemoveAttribute(node, name);
            break;
        case 5:
            doc.AppendCData(node, text);
            break;
        case 6:
            doc.SetText(first, text);
            break;
        case 7:
            doc.RemoveChild(node, first);
            break;
        default:
            doc.AppendElement(doc.ParentNode(node), name, std::nullopt);
            break;
        }
    }));
}

// Reads what the node tells; only a crash counts.
void Read(const DomDocument& doc, NodeRef node, const std::string& name)
{
    static_cast<void>(Refused([&] {
        const NodeRef first = doc.FirstChild(node);
        static_cast<void>(doc.GetAttribute(node, name));
        static_cast<void>(doc.Text(node) + doc.NodeXml(node) +
                          std::to_string(doc.ChildCount(node)));
        if (first != nullptr) {
            static_cast<void>(doc.NodeTypeString(first) + doc.Text(first) + doc.NodeXml(first));
        }
    }));
}

std::string Saved(DomDocument& doc)
{
    const std::string path = qif2ldx::fuzz::ScratchFile("saved.xml");
    if (!doc.Save(path, "windows-1252")) {
        Differ("saving");
    }
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string OracleSaved(const xmlDoc& parsed)
{
    const std::string path = qif2ldx::fuzz::ScratchFile("oracle.xml");
    qif2ldx::fuzz::WriteFile(path, "");
    const qif2ldx::platform::Result<qif2ldx::platform::UniqueFd> file =
        qif2ldx::platform::OpenForWriting(path);
    if (!file || !qif2ldx::fuzz::SerialiseToFile(parsed, file.value.Get())) {
        std::abort();
    }
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::int64_t XPathCount(xmlDoc& parsed, const char* query)
{
    const qif2ldx::xml::libxml::XPathCtxtPtr context(xmlXPathNewContext(&parsed));
    context->node = xmlDocGetRootElement(&parsed);
    const qif2ldx::xml::libxml::XPathObjectPtr result(
        xmlXPathEval(reinterpret_cast<const xmlChar*>(query), context.get()));
    return result && result->nodesetval != nullptr ? result->nodesetval->nodeNr : 0;
}

// The markup as libxml2's parse leaves it: the boundaries between adjacent CDATA sections taken
// out (the tree may hold sections side by side, which the parse joins into one) and every line
// end a LF (a CR written as it is, inside a CDATA section or a comment, is read as a line end).
std::string AsParsed(const std::string& markup)
{
    std::string parsed;
    const std::string boundary = "]]><![CDATA[";
    for (std::size_t at = 0; at < markup.size(); ++at) {
        if (markup.compare(at, boundary.size(), boundary) == 0) {
            at += boundary.size() - 1;
        } else if (markup[at] != '\r') {
            parsed += markup[at];
        } else if (at + 1 == markup.size() || markup[at + 1] != '\n') {
            parsed += '\n';
        }
    }
    return parsed;
}

bool SameMarkup(const std::string& written, const std::string& oracle)
{
    return written == oracle || AsParsed(written) == AsParsed(oracle);
}

// The document as the program writes it must be what libxml2 writes after parsing it.
void Compare(DomDocument& doc, bool bolSave)
{
    if (doc.DocumentElement() == nullptr) {
        return; // without a root element the text is no document
    }
    const std::string text = doc.Xml();
    // The text was loaded as UTF-8, so the parse is told its encoding as the load was.
    const DocPtr parsed(
        xmlReadMemory(text.data(), static_cast<int>(text.size()), "", "UTF-8",
                      XML_PARSE_NONET | XML_PARSE_HUGE | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!parsed) {
        Differ("the written document does not parse:\n" + text);
    }
    const std::string oracle = qif2ldx::fuzz::SerialiseToText(*parsed, nullptr);
    if (!SameMarkup(text, oracle)) {
        Differ("the document as text:\n" + text + "\nlibxml2:\n" + oracle);
    }
    if (bolSave && !SameMarkup(Saved(doc), OracleSaved(*parsed))) {
        Differ("the saved file");
    }
    for (const char* query : {"//*", "//@*", "//comment()", "//processing-instruction()"}) {
        if (doc.SelectNodesLength(query) != XPathCount(*parsed, query)) {
            Differ(std::string("the count of ") + query);
        }
    }
    const NodeRef root = doc.SelectSingleNode("/*");
    if (!SameMarkup(doc.NodeXml(root),
                    qif2ldx::fuzz::SerialiseToText(*parsed, xmlDocGetRootElement(parsed.get())))) {
        Differ("the root element's markup");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qif2ldx::xml::libxml::InitLibXml();
    qif2ldx::fuzz::Reader reader(data, size);
    DomDocument doc;
    if (!doc.LoadXML(reader.String())) {
        static_cast<void>(
            doc.LoadXML("<OFX><A><B/><B>b<C/></B></A><A x='1'><C/>t<C/></A><STMTTRN/></OFX>"));
    }
    Compare(doc, true);
    for (int step = 0; step < 64 && !reader.Empty(); ++step) {
        const std::string path = PlainPath(reader);
        if (!qif2ldx::xml::ParseElementPath(path)) {
            std::abort(); // the generator makes plain paths only
        }
        if (const NodeRef node = Select(doc, path)) {
            Read(doc, node, NewName(reader));
            Operate(doc, node, reader);
        }
        Compare(doc, false);
    }
    Compare(doc, true);
    return 0;
}
