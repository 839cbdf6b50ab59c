// SPDX-License-Identifier: MIT
// The lean document must answer exactly as libxml2's tree does. The same text is loaded twice:
// one document stays in the lean tree, the other is moved into libxml2's tree by a query. Both
// take the same plain-path selections and node operations, and must agree on every result, on
// whether it is refused, and on the whole document after each step; the lean selection must
// also be what libxml2's XPath selects for the same path. At the end both are saved (the file
// writers must agree byte for byte), and the lean one is moved into libxml2's tree too, after
// which XPath must find the same in both.
#include "FuzzSupport.h"
#include "xml/DomDocument.h"
#include "xml/dom/DomError.h"
#include "xml/dom/ElementPath.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>

namespace {

using qif2ldx::xml::DomDocument;
using qif2ldx::xml::DomError;
using qif2ldx::xml::NodeRef;

[[noreturn]] void Differ(const std::string& what)
{
    std::fprintf(stderr, "lean and libxml2 differ: %s\n", what.c_str());
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

// Runs an operation on both documents: both must refuse it, or both must give the same result.
template <class Result, class Operation>
std::optional<Result> Both(const std::string& what, const Operation& operation)
{
    std::optional<Result> lean;
    std::optional<Result> full;
    bool leanRefused = false;
    bool fullRefused = false;
    try {
        lean = operation(true);
    } catch (const DomError&) {
        leanRefused = true;
    }
    try {
        full = operation(false);
    } catch (const DomError&) {
        fullRefused = true;
    }
    if (leanRefused != fullRefused || lean != full) {
        Differ(what + (leanRefused ? ", refused by the lean document" : "") +
               (fullRefused ? ", refused by libxml2's" : ""));
    }
    return lean;
}

struct Pair
{
    DomDocument& lean;
    DomDocument& full;

    DomDocument& Of(bool bolLean) const { return bolLean ? lean : full; }
};

// Selects the path in both; the nodes, or nullopt when neither selects one.
std::optional<std::pair<NodeRef, NodeRef>> Select(Pair docs, const std::string& path)
{
    NodeRef nodes[2] = {nullptr, nullptr};
    const auto markup = Both<std::string>("selection", [&](bool bolLean) {
        NodeRef node = docs.Of(bolLean).SelectSingleNode(path);
        nodes[bolLean ? 0 : 1] = node;
        return node == nullptr ? std::string("none") : docs.Of(bolLean).NodeXml(node);
    });
    static_cast<void>(Both<std::int32_t>(
        "count", [&](bool bolLean) { return docs.Of(bolLean).SelectNodesLength(path); }));
    // The path index of libxml2's document against its XPath, translated (which needs a root
    // element even for an absolute path).
    const std::string asXPath = "(" + path + ")";
    if (markup && docs.full.DocumentElement() != nullptr &&
        (docs.full.SelectSingleNode(asXPath) != nodes[1] ||
         docs.full.SelectNodesLength(asXPath) != docs.full.SelectNodesLength(path))) {
        Differ("XPath of " + path);
    }
    if (nodes[0] == nullptr) {
        return std::nullopt;
    }
    return std::make_pair(nodes[0], nodes[1]);
}

void Operate(Pair docs, std::pair<NodeRef, NodeRef> nodes, qif2ldx::fuzz::Reader& reader)
{
    const auto at = [&](bool bolLean) { return bolLean ? nodes.first : nodes.second; };
    const std::uint8_t op = reader.Byte() % 9;
    const std::string name = NewName(reader);
    const std::string text = NewText(reader);
    static_cast<void>(Both<int>("operation " + std::to_string(op), [&](bool bolLean) {
        DomDocument& doc = docs.Of(bolLean);
        const NodeRef node = at(bolLean);
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
        return 0;
    }));
}

// What reading the node tells, apart from its markup.
void Read(Pair docs, std::pair<NodeRef, NodeRef> nodes, const std::string& name)
{
    const auto at = [&](bool bolLean) { return bolLean ? nodes.first : nodes.second; };
    static_cast<void>(Both<std::string>("reading", [&](bool bolLean) {
        const DomDocument& doc = docs.Of(bolLean);
        const NodeRef first = doc.FirstChild(at(bolLean));
        const std::optional<std::string> value = doc.GetAttribute(at(bolLean), name);
        return doc.Text(at(bolLean)) + "|" + std::to_string(doc.ChildCount(at(bolLean))) + "|" +
               (first == nullptr ? "-" : doc.NodeTypeString(first) + doc.Text(first)) + "|" +
               value.value_or("-");
    }));
}

std::string Saved(DomDocument& doc, const char* file)
{
    const std::string path = qif2ldx::fuzz::ScratchFile(file);
    if (!doc.Save(path)) {
        Differ("saving");
    }
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qif2ldx::fuzz::Reader reader(data, size);
    DomDocument lean;
    DomDocument full;
    std::string text = reader.String();
    if (!lean.LoadXML(text) || !lean.IsLean()) {
        text = "<OFX><A><B/><B>b<C/></B></A><A x='1'><C/>t<C/></A><STMTTRN/></OFX>";
        static_cast<void>(lean.LoadXML(text));
    }
    if (!full.LoadXML(text) || full.SelectNodesLength("(/)") != 1 || full.IsLean()) {
        std::abort(); // the same text loads, and a query beyond plain paths moves it
    }
    const Pair docs{lean, full};
    for (int step = 0; step < 64 && !reader.Empty(); ++step) {
        const std::string path = PlainPath(reader);
        if (!qif2ldx::xml::ParseElementPath(path)) {
            std::abort(); // the generator makes plain paths only
        }
        if (const auto nodes = Select(docs, path)) {
            Read(docs, *nodes, NewName(reader));
            Operate(docs, *nodes, reader);
        }
        if (lean.Xml() != full.Xml()) {
            Differ("the document after " + path);
        }
    }
    if (Saved(lean, "lean.xml") != Saved(full, "full.xml")) {
        Differ("the saved file");
    }
    for (const char* query : {"//*", "//text()", "//@*", "//*[text()]", "//node()[last()]"}) {
        static_cast<void>(Both<std::string>(query, [&](bool bolLean) {
            DomDocument& doc = docs.Of(bolLean);
            const NodeRef node = doc.SelectSingleNode(query);
            return std::to_string(doc.SelectNodesLength(query)) +
                   (node == nullptr ? "" : doc.NodeXml(node) + doc.Text(node));
        }));
    }
    return 0;
}
