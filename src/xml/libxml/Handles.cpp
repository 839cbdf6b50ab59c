// SPDX-License-Identifier: MIT
#include "xml/libxml/Handles.h"

#include <mutex>

namespace qif2ldx::xml::libxml {
namespace {

void Silent(void* /*context*/, const char* /*format*/, ...) {}

// Nothing outside the document is ever read: no external DTD or entity, no network.
xmlParserInputPtr RefuseExternalEntity(const char* /*url*/, const char* /*id*/,
                                       xmlParserCtxtPtr /*context*/)
{
    return nullptr;
}

} // namespace

void SilentStructured(void* /*context*/, xmlErrorPtr /*error*/) {}

void InitLibXml()
{
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(RefuseExternalEntity);
    });
}

ErrorCapture::ErrorCapture()
{
    xmlSetGenericErrorFunc(nullptr, Silent);
    xmlSetStructuredErrorFunc(this, &ErrorCapture::OnError);
}

ErrorCapture::~ErrorCapture()
{
    xmlSetStructuredErrorFunc(nullptr, SilentStructured);
}

void ErrorCapture::OnError(void* self, xmlErrorPtr error)
{
    auto* capture = static_cast<ErrorCapture*>(self);
    if (error == nullptr || error->level < XML_ERR_ERROR || capture->first_) {
        return;
    }
    capture->first_ =
        Captured{error->code, FromXmlChar(reinterpret_cast<const xmlChar*>(error->message)),
                 error->line, error->int2};
}

} // namespace qif2ldx::xml::libxml
