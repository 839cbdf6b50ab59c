// SPDX-License-Identifier: MIT
#include "xml/ElementStream.h"

#include "xml/libxml/ElementReader.h"

namespace qif2ldx::xml {

bool StreamElements(std::string_view bytes, const char* sEncoding, IElementVisitor& objVisitor,
                    std::string& sError)
{
    return libxml::ReadElements(
        bytes, sEncoding, [&](const std::string_view sName) { objVisitor.StartElement(sName); },
        [&](const std::string_view sText) { objVisitor.Text(sText); },
        [&](const std::string_view sName) { objVisitor.EndElement(sName); }, sError);
}

} // namespace qif2ldx::xml
