// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>

namespace qif2ldx::xml {

// Raised by a DOM document when it refuses an operation; CDoXML catches it.
class DomError : public std::runtime_error
{
public:
    using runtime_error::runtime_error;
};

} // namespace qif2ldx::xml
