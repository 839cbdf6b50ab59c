// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>

namespace qif2ldx::qif {

// A QIF text that cannot be converted; the message says why, without the line number, which
// the reader adds.
class QIFError : public std::runtime_error
{
public:
    using runtime_error::runtime_error;
};

} // namespace qif2ldx::qif
