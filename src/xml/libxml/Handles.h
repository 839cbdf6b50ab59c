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
#include <string_view>

namespace qif2ldx::xml::libxml {

// libxml2's objects in owning handles, the conversions between its types and the program's, and
// the capture of its errors.

struct XmlFreeDeleter
{
    void operator()(xmlChar* p) const { xmlFree(p); }
};
// Frees an object with libxml2's function for it (what that returns tells nothing to act on).
template <auto Free> struct Deleter
{
    template <class T> void operator()(T* p) const { static_cast<void>(Free(p)); }
};

using OwnedText = std::unique_ptr<xmlChar, XmlFreeDeleter>;
using DocPtr = std::unique_ptr<xmlDoc, Deleter<xmlFreeDoc>>;
using ParserCtxtPtr = std::unique_ptr<xmlParserCtxt, Deleter<xmlFreeParserCtxt>>;
using ValidCtxtPtr = std::unique_ptr<xmlValidCtxt, Deleter<xmlFreeValidCtxt>>;
using XPathCtxtPtr = std::unique_ptr<xmlXPathContext, Deleter<xmlXPathFreeContext>>;
using XPathObjectPtr = std::unique_ptr<xmlXPathObject, Deleter<xmlXPathFreeObject>>;
using XPathCompPtr = std::unique_ptr<xmlXPathCompExpr, Deleter<xmlXPathFreeCompExpr>>;
using BufferPtr = std::unique_ptr<xmlBuffer, Deleter<xmlBufferFree>>;
using SaveCtxtPtr = std::unique_ptr<xmlSaveCtxt, Deleter<xmlSaveClose>>;

inline const xmlChar* ToXmlChar(const std::string& text)
{
    return reinterpret_cast<const xmlChar*>(text.c_str());
}

inline std::string_view View(const xmlChar* text)
{
    return text == nullptr ? std::string_view() : reinterpret_cast<const char*>(text);
}

inline std::string FromXmlChar(const xmlChar* text)
{
    return std::string(View(text));
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
