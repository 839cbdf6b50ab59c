// SPDX-License-Identifier: MIT
#pragma once

#include "history/Database.h"

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3_stmt;

namespace qif2ldx::history {

// One prepared SQL statement of a Database, finalised when it goes. Parameters and columns
// count from 1 and 0, as in SQLite. Every failure is thrown as SqliteError.
class Query
{
public:
    Query(Database& objDb, std::string_view sSql);
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    Query& Bind(int index, std::int64_t value);
    Query& Bind(int index, std::string_view sText);
    Query& BindNull(int index);
    // The next row: true while there is one, false once the statement is done.
    [[nodiscard]] bool Step();
    // Runs a statement that returns no rows.
    void Run();
    // Makes the statement ready to run again with new parameters.
    void Reset();

    [[nodiscard]] std::int64_t Int(int column) const;
    // The column's text; empty for NULL.
    [[nodiscard]] std::string Text(int column) const;

private:
    Database& objDb_;
    sqlite3_stmt* objStmt_ = nullptr;
};

} // namespace qif2ldx::history
