// SPDX-License-Identifier: MIT
#pragma once

#include "xml/dom/IDomDocument.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace qif2ldx::xml {

// The parser classes that can be created by name, as the wrapper probes and creates them.
class ParserRegistry
{
public:
    using Factory = std::function<std::unique_ptr<IDomDocument>()>;

    // The five class names, each creating a DomDocument.
    [[nodiscard]] static std::shared_ptr<const ParserRegistry> Default();

    // Makes the class creatable under the name, in place of one registered before under it.
    void Register(const std::string& strClassName, Factory objFactory);

    // A new document of the class; nullptr when the class is not registered or its factory
    // fails. Never throws.
    [[nodiscard]] std::unique_ptr<IDomDocument> Create(const std::string& strClassName) const;

private:
    std::map<std::string, Factory, std::less<>> factories_;
};

} // namespace qif2ldx::xml
