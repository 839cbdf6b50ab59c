// SPDX-License-Identifier: MIT
#include "xml/libxml/ElementReader.h"

#include "xml/libxml/Handles.h"

#include <algorithm>
#include <climits>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <memory>

namespace qif2ldx::xml::libxml {
namespace {

// The callbacks, reached from libxml2's SAX handler through its user data.
struct Callbacks
{
    const NameCallback& onStart;
    const NameCallback& onText;
    const NameCallback& onEnd;
};

std::string_view View(const xmlChar* text)
{
    return text == nullptr ? std::string_view()
                           : std::string_view(reinterpret_cast<const char*>(text));
}

Callbacks& From(void* context)
{
    // The user data of the parser context is the Callbacks the parse was started with.
    return *static_cast<Callbacks*>(static_cast<xmlParserCtxt*>(context)->_private);
}

void OnStart(void* context, const xmlChar* localName, const xmlChar* /*prefix*/,
             const xmlChar* /*uri*/, int /*namespaces*/, const xmlChar** /*namespaceList*/,
             int /*attributes*/, int /*defaulted*/, const xmlChar** /*attributeList*/)
{
    From(context).onStart(View(localName));
}

void OnEnd(void* context, const xmlChar* localName, const xmlChar* /*prefix*/,
           const xmlChar* /*uri*/)
{
    From(context).onEnd(View(localName));
}

void OnText(void* context, const xmlChar* text, int length)
{
    From(context).onText(
        std::string_view(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length)));
}

struct ContextDeleter
{
    void operator()(xmlParserCtxt* p) const { xmlFreeParserCtxt(p); }
};

std::string Reason(const ErrorCapture& capture)
{
    std::string sError =
        capture.First() ? capture.First()->message : std::string("the document is not well-formed");
    while (!sError.empty() && (sError.back() == '\n' || sError.back() == ' ')) {
        sError.pop_back();
    }
    return sError;
}

} // namespace

bool ReadElements(std::string_view bytes, const char* sEncoding, const NameCallback& onStart,
                  const NameCallback& onText, const NameCallback& onEnd, std::string& sError)
{
    InitLibXml();
    ErrorCapture capture;
    // SAX: the parser tells of each element as it reads, and no node is ever built.
    xmlSAXHandler handler{};
    handler.initialized = XML_SAX2_MAGIC;
    handler.startElementNs = OnStart;
    handler.endElementNs = OnEnd;
    handler.characters = OnText;
    handler.cdataBlock = OnText;
    const std::unique_ptr<xmlParserCtxt, ContextDeleter> context(
        xmlCreatePushParserCtxt(&handler, nullptr, nullptr, 0, nullptr));
    if (!context) {
        sError = "the document cannot be read";
        return false;
    }
    Callbacks callbacks{onStart, onText, onEnd};
    context->_private = &callbacks;
    xmlCtxtUseOptions(context.get(), XML_PARSE_NONET);
    if (sEncoding != nullptr) {
        xmlCharEncodingHandlerPtr encoding = xmlFindCharEncodingHandler(sEncoding);
        if (encoding == nullptr || xmlSwitchToEncoding(context.get(), encoding) != 0) {
            sError = std::string("the encoding ") + sEncoding + " cannot be read";
            return false;
        }
    }
    // The push parser is fed in small pieces, as it expects (one piece larger than its look-up
    // limit is refused as huge input); the last one ends the document.
    constexpr std::size_t kChunk = std::size_t{1} << 18;
    std::size_t offset = 0;
    do {
        const std::size_t size = std::min(kChunk, bytes.size() - offset);
        const bool last = offset + size == bytes.size();
        if (xmlParseChunk(context.get(), bytes.data() + offset, static_cast<int>(size),
                          last ? 1 : 0) != 0) {
            sError = Reason(capture);
            return false;
        }
        offset += size;
    } while (offset < bytes.size());
    if (context->wellFormed == 0 || capture.First()) {
        sError = Reason(capture);
        return false;
    }
    return true;
}

} // namespace qif2ldx::xml::libxml
