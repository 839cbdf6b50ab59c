// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace qif2ldx::platform {

// False when the file at sPath can be read but is no whole shared library for this process: not
// an ELF file of this process's class and byte order, or one whose headers or loadable segments
// reach past its end (a copy cut short). The loader maps such segments and the process dies
// with SIGBUS when it touches them, so the file is looked at before it is loaded. True when the
// file cannot be opened: the loader then tells why.
[[nodiscard]] bool IsWholeLibrary(const std::string& sPath) noexcept;

} // namespace qif2ldx::platform
