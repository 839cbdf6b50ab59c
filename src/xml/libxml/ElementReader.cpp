// SPDX-License-Identifier: MIT
#include "xml/libxml/ElementReader.h"

#include "platform/Windows1252.h"
#include "xml/libxml/Handles.h"

#include <cstring>
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
    const ChunkSource& read;
    const char* sEncoding;           // for a document that declares none
    xmlParserCtxt* parser = nullptr; // the parse they are called from
    bool bolEncodingRefused = false; // sEncoding cannot be read
};

Callbacks& From(void* context)
{
    // The parser's user data is the Callbacks the parse was started with.
    return *static_cast<Callbacks*>(context);
}

// libxml2's input interface: the next chunk of the document from the chunk source.
int ReadNextChunk(void* context, char* buffer, int length)
{
    const Callbacks& callbacks = From(context);
    // After the first error the document ends: its reason is known, and the parser would go
    // on to the end raising more.
    if (callbacks.parser != nullptr && callbacks.parser->wellFormed == 0) {
        return 0;
    }
    const std::optional<std::size_t> got = callbacks.read(buffer, static_cast<std::size_t>(length));
    return got ? static_cast<int>(*got) : -1;
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

// Windows-1252 by the program's table, for libxml2's decoder interface.
int DecodeWindows1252(unsigned char* out, int* outlen, const unsigned char* in, int* inlen)
{
    std::size_t consumed = 0;
    const std::size_t written = platform::AnsiToUtf8Piece(
        std::string_view(reinterpret_cast<const char*>(in), static_cast<std::size_t>(*inlen)),
        reinterpret_cast<char*>(out), static_cast<std::size_t>(*outlen), consumed);
    *outlen = static_cast<int>(written);
    *inlen = static_cast<int>(consumed);
    return *outlen;
}

// The decoder for the encoding named; the program's own for Windows-1252 (registered once,
// under a name of its own, so that nothing else in the process picks it up by chance).
xmlCharEncodingHandlerPtr FindDecoder(const char* sEncoding)
{
    if (xmlStrcasecmp(reinterpret_cast<const xmlChar*>(sEncoding),
                      reinterpret_cast<const xmlChar*>("windows-1252")) != 0) {
        return xmlFindCharEncodingHandler(sEncoding);
    }
    static xmlCharEncodingHandlerPtr decoder =
        xmlNewCharEncodingHandler("qif2ldx-windows-1252", DecodeWindows1252, nullptr);
    return decoder;
}

// After the XML declaration, before the root: a document that named no encoding, neither in
// its declaration nor by a byte-order mark, is read in the one given.
void OnStartDocument(void* context)
{
    Callbacks& callbacks = From(context);
    xmlParserCtxt* parser = callbacks.parser;
    if (callbacks.sEncoding == nullptr || parser->encoding != nullptr ||
        parser->input->encoding != nullptr || parser->input->buf->encoder != nullptr) {
        return;
    }
    xmlCharEncodingHandlerPtr decoder = FindDecoder(callbacks.sEncoding);
    if (decoder == nullptr || xmlSwitchToEncoding(parser, decoder) != 0) {
        callbacks.bolEncodingRefused = true;
        xmlStopParser(parser);
    }
}

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

bool ReadElements(const ChunkSource& read, const char* sEncoding, const NameCallback& onStart,
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
    handler.startDocument = OnStartDocument;
    // The parser pulls the document through ReadNextChunk a piece at a time.
    Callbacks callbacks{onStart, onText, onEnd, read, sEncoding};
    const ParserCtxtPtr context(xmlCreateIOParserCtxt(&handler, &callbacks, ReadNextChunk, nullptr,
                                                      &callbacks, XML_CHAR_ENCODING_NONE));
    if (!context) {
        sError = "the document cannot be read";
        return false;
    }
    xmlCtxtUseOptions(context.get(), XML_PARSE_NONET);
    callbacks.parser = context.get();
    const int parsed = xmlParseDocument(context.get());
    if (callbacks.bolEncodingRefused) {
        sError = std::string("the encoding ") + sEncoding + " cannot be read";
        return false;
    }
    if (parsed != 0 || context->wellFormed == 0 || capture.First()) {
        sError = Reason(capture);
        return false;
    }
    return true;
}

} // namespace qif2ldx::xml::libxml
