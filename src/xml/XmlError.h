// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>

namespace qif2ldx::xml {

// The error that CDoXML lets reach its caller: a load without a usable parser, or XML() with no
// document. Everything else in the wrapper reports failure through its result.
class XmlError : public std::runtime_error
{
public:
    using runtime_error::runtime_error;
};

} // namespace qif2ldx::xml
