// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace qif2ldx::xml::libxml {

// Throws DomError unless the name is a valid XML name, by libxml2's rules.
void CheckName(const std::string& name);

} // namespace qif2ldx::xml::libxml
