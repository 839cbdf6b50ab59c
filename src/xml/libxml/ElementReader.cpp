// SPDX-License-Identifier: MIT
#include "xml/libxml/ElementReader.h"

#include "xml/libxml/Handles.h"

#include <climits>
#include <libxml/xmlreader.h>
#include <memory>

namespace qif2ldx::xml::libxml {
namespace {

struct ReaderDeleter
{
    void operator()(xmlTextReader* p) const { xmlFreeTextReader(p); }
};

std::string_view View(const xmlChar* text)
{
    return text == nullptr ? std::string_view()
                           : std::string_view(reinterpret_cast<const char*>(text));
}

} // namespace

bool ReadElements(std::string_view bytes, const char* sEncoding, const NameCallback& onStart,
                  const NameCallback& onText, const NameCallback& onEnd, std::string& sError)
{
    InitLibXml();
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        sError = "the document is too large to be read";
        return false;
    }
    ErrorCapture capture;
    const std::unique_ptr<xmlTextReader, ReaderDeleter> reader(xmlReaderForMemory(
        bytes.data(), static_cast<int>(bytes.size()), "", sEncoding, XML_PARSE_NONET));
    if (!reader) {
        sError = "the document cannot be read";
        return false;
    }
    int status = 0;
    while ((status = xmlTextReaderRead(reader.get())) == 1) {
        switch (xmlTextReaderNodeType(reader.get())) {
        case XML_READER_TYPE_ELEMENT: {
            const std::string_view sName = View(xmlTextReaderConstName(reader.get()));
            onStart(sName);
            if (xmlTextReaderIsEmptyElement(reader.get()) == 1) {
                onEnd(sName);
            }
            break;
        }
        case XML_READER_TYPE_END_ELEMENT:
            onEnd(View(xmlTextReaderConstName(reader.get())));
            break;
        case XML_READER_TYPE_TEXT:
        case XML_READER_TYPE_CDATA:
        case XML_READER_TYPE_SIGNIFICANT_WHITESPACE:
        case XML_READER_TYPE_WHITESPACE:
            onText(View(xmlTextReaderConstValue(reader.get())));
            break;
        default:
            break;
        }
    }
    if (status != 0 || capture.First()) {
        sError = capture.First() ? capture.First()->message : "the document is not well-formed";
        while (!sError.empty() && (sError.back() == '\n' || sError.back() == ' ')) {
            sError.pop_back();
        }
        return false;
    }
    return true;
}

} // namespace qif2ldx::xml::libxml
