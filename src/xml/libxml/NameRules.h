// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>

namespace qif2ldx::xml::libxml {

// What names an XML tree may hold, by libxml2's rules.

// Throws DomError unless the name is a valid XML name.
void CheckName(const std::string& name);

// Remembers the last few element names found valid: a statement uses a few dozen names
// millions of times.
class NameCheck
{
public:
    // Throws DomError unless the name is a valid XML name.
    void Check(const std::string& name);

private:
    std::string known_[8];
    std::size_t next_ = 0;
};

} // namespace qif2ldx::xml::libxml
