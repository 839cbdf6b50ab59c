// SPDX-License-Identifier: MIT
// The program's own evaluation of plain element paths must select what libxml2's XPath selects
// for the same path with its indexes translated: the same first node and the same count, also
// after the tree has grown and shrunk (which the remembered positions and matches must follow).
#include "FuzzSupport.h"
#include "xml/dom/DomError.h"
#include "xml/dom/ElementPath.h"
#include "xml/libxml/LibXmlDocument.h"

#include <cstdio>

namespace {

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace qif2ldx;
    fuzz::Reader reader(data, size);
    xml::LibXmlDocument doc;
    if (!doc.LoadXML(reader.String()) &&
        !doc.LoadXML("<OFX><A><B/><B><C/></B></A><A><C/><C/></A><STMTTRN/></OFX>")) {
        std::abort();
    }
    for (int step = 0; step < 64 && !reader.Empty(); ++step) {
        const std::string path = PlainPath(reader);
        if (!xml::ParseElementPath(path)) {
            std::abort(); // the generator makes plain paths only
        }
        const std::string asXPath = "(" + path + ")"; // not plain: goes to XPath, translated
        xml::NodeRef own = nullptr;
        xml::NodeRef oracle = nullptr;
        std::int32_t ownCount = -1;
        std::int32_t oracleCount = -1;
        try {
            own = doc.SelectSingleNode(path);
            oracle = doc.SelectSingleNode(asXPath);
            ownCount = doc.SelectNodesLength(path);
            oracleCount = doc.SelectNodesLength(asXPath);
        } catch (const xml::DomError&) {
            continue; // the root element was removed: both refuse
        }
        if (own != oracle || ownCount != oracleCount) {
            std::fprintf(stderr, "%s: own %p/%d, XPath %p/%d\n", path.c_str(),
                         static_cast<void*>(own), ownCount, static_cast<void*>(oracle),
                         oracleCount);
            std::abort();
        }
        // Change the tree between queries.
        try {
            const std::uint8_t change = reader.Byte() % 4;
            if (change == 0 && own != nullptr) {
                static const char* const kNames[] = {"A", "B", "C", "STMTTRN"};
                doc.AppendElement(own, kNames[reader.Byte() % 4], std::nullopt);
            } else if (change == 1 && own != nullptr && doc.ParentNode(own) != nullptr &&
                       own != doc.DocumentElement()) {
                doc.RemoveChild(doc.ParentNode(own), own);
            } else if (change == 2 && own != nullptr) {
                doc.SetText(own, "t");
            }
        } catch (const xml::DomError&) {
        }
    }
    return 0;
}
