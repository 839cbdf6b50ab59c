// SPDX-License-Identifier: MIT
#pragma once

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/valid.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>
#include <libxml/xpath.h>
#include <memory>
#include <optional>
#include <string>

namespace qif2ldx::xml::libxml {

// libxml2's objects in owning handles, the conversions between its types and the program's, and
// the capture of its errors.

struct XmlFreeDeleter
{
    void operator()(xmlChar* p) const { xmlFree(p); }
};
struct DocDeleter
{
    void operator()(xmlDoc* p) const { xmlFreeDoc(p); }
};
struct ParserCtxtDeleter
{
    void operator()(xmlParserCtxt* p) const { xmlFreeParserCtxt(p); }
};
struct ValidCtxtDeleter
{
    void operator()(xmlValidCtxt* p) const { xmlFreeValidCtxt(p); }
};
struct XPathCtxtDeleter
{
    void operator()(xmlXPathContext* p) const { xmlXPathFreeContext(p); }
};
struct XPathObjectDeleter
{
    void operator()(xmlXPathObject* p) const { xmlXPathFreeObject(p); }
};
struct XPathCompDeleter
{
    void operator()(xmlXPathCompExpr* p) const { xmlXPathFreeCompExpr(p); }
};
struct BufferDeleter
{
    void operator()(xmlBuffer* p) const { xmlBufferFree(p); }
};
struct SaveCtxtDeleter
{
    void operator()(xmlSaveCtxt* p) const { static_cast<void>(xmlSaveClose(p)); }
};

using OwnedText = std::unique_ptr<xmlChar, XmlFreeDeleter>;
using DocPtr = std::unique_ptr<xmlDoc, DocDeleter>;
using ParserCtxtPtr = std::unique_ptr<xmlParserCtxt, ParserCtxtDeleter>;
using ValidCtxtPtr = std::unique_ptr<xmlValidCtxt, ValidCtxtDeleter>;
using XPathCtxtPtr = std::unique_ptr<xmlXPathContext, XPathCtxtDeleter>;
using XPathObjectPtr = std::unique_ptr<xmlXPathObject, XPathObjectDeleter>;
using XPathCompPtr = std::unique_ptr<xmlXPathCompExpr, XPathCompDeleter>;
using BufferPtr = std::unique_ptr<xmlBuffer, BufferDeleter>;
using SaveCtxtPtr = std::unique_ptr<xmlSaveCtxt, SaveCtxtDeleter>;

inline const xmlChar* ToXmlChar(const std::string& text)
{
    return reinterpret_cast<const xmlChar*>(text.c_str());
}

inline std::string FromXmlChar(const xmlChar* text)
{
    return text == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(text));
}

// Sets libxml2 up once per process, before its first use: no external entity ever loaded,
// nothing printed. Every entry point calls it.
void InitLibXml();

// Collects the first error libxml2 raises on this thread while it lives, and keeps libxml2 from
// printing anything.
class ErrorCapture
{
public:
    struct Captured
    {
        int code = 0;
        std::string message;
        int line = 0;
        int column = 0;
    };

    ErrorCapture();
    ~ErrorCapture();
    ErrorCapture(const ErrorCapture&) = delete;
    ErrorCapture& operator=(const ErrorCapture&) = delete;

    [[nodiscard]] const std::optional<Captured>& First() const { return first_; }

private:
    static void OnError(void* self, xmlErrorPtr error);

    std::optional<Captured> first_;
};

// An error handler for contexts that must stay silent.
void SilentStructured(void* context, xmlErrorPtr error);

} // namespace qif2ldx::xml::libxml
