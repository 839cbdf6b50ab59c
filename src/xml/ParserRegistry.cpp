// SPDX-License-Identifier: MIT
#include "xml/ParserRegistry.h"

#include "xml/DomDocument.h"

#include <array>
#include <utility>

namespace qif2ldx::xml {

std::shared_ptr<const ParserRegistry> ParserRegistry::Default()
{
    static const std::shared_ptr<const ParserRegistry> objDefault = [] {
        auto objRegistry = std::make_shared<ParserRegistry>();
        constexpr std::array kNames = {"Msxml.DOMDocument", "Msxml2.DOMDocument.2.6",
                                       "Msxml2.DOMDocument.3.0", "Msxml2.DOMDocument.4.0",
                                       "Msxml2.DOMDocument"};
        for (const char* name : kNames) {
            objRegistry->Register(name, [] { return std::make_unique<DomDocument>(); });
        }
        return objRegistry;
    }();
    return objDefault;
}

void ParserRegistry::Register(const std::string& strClassName, Factory objFactory)
{
    factories_[strClassName] = std::move(objFactory);
}

std::unique_ptr<IDomDocument> ParserRegistry::Create(const std::string& strClassName) const
{
    const auto found = factories_.find(strClassName);
    if (found == factories_.end()) {
        return nullptr;
    }
    try {
        return found->second();
    } catch (...) {
        return nullptr;
    }
}

} // namespace qif2ldx::xml
