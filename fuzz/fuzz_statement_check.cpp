// SPDX-License-Identifier: MIT
// The check of an existing statement, from any bytes: it answers or says the file is no OFX
// file, and never crashes.
#include "statement/StatementCheck.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const qif2ldx::statement::CheckResult result = qif2ldx::statement::CheckStatement(
        std::string_view(reinterpret_cast<const char*>(data), size));
    static_cast<void>(result); // only crashes and sanitizer findings count
    return 0;
}
