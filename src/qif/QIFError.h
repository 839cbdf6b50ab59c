// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace qif2ldx::qif {

// A QIF text that cannot be converted: what is wrong (what()), and on which line.
class QIFError : public std::runtime_error
{
public:
    // line: where the fault is, counting from 1; 0 when it is the text as a whole.
    QIFError(std::int64_t line, const std::string& sDescription)
        : std::runtime_error(sDescription), line_(line)
    {}
    explicit QIFError(const std::string& sDescription) : QIFError(0, sDescription) {}

    [[nodiscard]] std::int64_t Line() const noexcept { return line_; }

private:
    std::int64_t line_;
};

// A file given as QIF that is an OFX statement already.
class OfxStatementError : public QIFError
{
public:
    OfxStatementError() : QIFError("this is already an OFX statement") {}
};

} // namespace qif2ldx::qif
