// SPDX-License-Identifier: MIT
// CDoXML loads arbitrary bytes, then runs queries and node operations taken from the data.
#include "FuzzSupport.h"
#include "support/FixedProgramFolder.h"
#include "support/MessageRecorder.h"
#include "xml/CDoXML.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace qif2ldx;
    test::MessageRecorder messages;
    test::FixedProgramFolder folder(fuzz::ScratchFolder());
    xml::CDoXML doc(messages, folder);
    fuzz::Reader reader(data, size);
    doc.Initialize(static_cast<xml::ParserVersion>(reader.Byte() % 6));
    try {
        if (!doc.OpenFromString(reader.String(), reader.Byte() % 2 == 0)) {
            static_cast<void>(doc.OpenFromString("<OFX><A><B>x</B></A><A/></OFX>", false));
        }
    } catch (const xml::XmlError&) {
        return 0; // no parser version in effect: loads are refused by design
    }
    for (int step = 0; step < 64 && !reader.Empty(); ++step) {
        const std::uint8_t op = reader.Byte();
        const std::string query = reader.String();
        const std::string text = reader.String();
        switch (op % 13) {
        case 0:
            static_cast<void>(
                doc.InsertNode(query, text, reader.String(), "", std::nullopt,
                               static_cast<xml::NodeRelationship>(reader.Byte() % 3)));
            break;
        case 1:
            static_cast<void>(doc.InsertNode(query, text, std::nullopt, reader.String(),
                                             reader.String(), xml::norChild));
            break;
        case 2:
            static_cast<void>(doc.WriteNode(query, text));
            break;
        case 3:
            static_cast<void>(doc.DeleteNode(query));
            break;
        case 4:
            static_cast<void>(doc.ReadNode(query));
            break;
        case 5:
            static_cast<void>(doc.NodeCount(query));
            break;
        case 6:
            static_cast<void>(doc.ReadNodeXML(query));
            break;
        case 7:
            static_cast<void>(doc.WriteCDataSection(query, text));
            break;
        case 8:
            static_cast<void>(doc.WriteAttribute(query, text, reader.String()));
            break;
        case 9:
            static_cast<void>(doc.ReadAttribute(query, text));
            break;
        case 10:
            static_cast<void>(doc.DeleteAttribute(query, text));
            break;
        case 11:
            static_cast<void>(doc.Reparse());
            static_cast<void>(
                doc.XMLDocumentInfo(static_cast<xml::XMLDocumentInfoItem>(reader.Byte() % 4)));
            break;
        default:
            static_cast<void>(doc.Save(fuzz::ScratchFile("saved.xml")));
            try {
                static_cast<void>(doc.XML());
            } catch (const xml::XmlError&) {
            }
            break;
        }
    }
    return 0;
}
