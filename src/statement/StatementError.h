// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>

namespace qif2ldx::statement {

// An error of the statement writer that ends the conversion run.
class StatementError : public std::runtime_error
{
public:
    using runtime_error::runtime_error;
};

} // namespace qif2ldx::statement
