// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>
#include <string>

namespace qif2ldx::history {

// A call into SQLite that failed: SQLite's primary result code and its message. Thrown inside
// the history floor and caught by History's public operations, which turn it into a Status.
class SqliteError : public std::runtime_error
{
public:
    SqliteError(int code, const std::string& sMessage) : std::runtime_error(sMessage), code_(code)
    {}

    // SQLite's primary result code (SQLITE_BUSY, SQLITE_CORRUPT …).
    [[nodiscard]] int Code() const noexcept { return code_; }

private:
    int code_;
};

} // namespace qif2ldx::history
