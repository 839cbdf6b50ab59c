// SPDX-License-Identifier: MIT
#include "history/Query.h"

#include "history/SqliteError.h"

#include <cstdint>
#include <sqlite3.h>

namespace qif2ldx::history {

Query::Query(Database& objDb, std::string_view sSql) : objDb_(objDb)
{
    const int code = sqlite3_prepare_v2(objDb_.Handle(), sSql.data(), static_cast<int>(sSql.size()),
                                        &objStmt_, nullptr);
    if (code != SQLITE_OK) {
        objDb_.Fail(code);
    }
}

Query::~Query()
{
    sqlite3_finalize(objStmt_);
}

Query& Query::Bind(int index, std::int64_t value)
{
    if (const int code = sqlite3_bind_int64(objStmt_, index, value); code != SQLITE_OK) {
        objDb_.Fail(code);
    }
    return *this;
}

Query& Query::Bind(int index, std::string_view sText)
{
    // SQLite copies the text (SQLITE_TRANSIENT), so that the caller's may go before the
    // statement runs; an empty view may have no data at all, which would bind NULL.
    // SQLITE_TRANSIENT, spelled out: SQLite's own macro is a C cast of -1.
    const auto copy =
        reinterpret_cast<sqlite3_destructor_type>( // NOLINT(performance-no-int-to-ptr)
            static_cast<std::intptr_t>(-1));
    if (const int code = sqlite3_bind_text64(objStmt_, index, sText.empty() ? "" : sText.data(),
                                             sText.size(), copy, SQLITE_UTF8);
        code != SQLITE_OK) {
        objDb_.Fail(code);
    }
    return *this;
}

Query& Query::BindNull(int index)
{
    if (const int code = sqlite3_bind_null(objStmt_, index); code != SQLITE_OK) {
        objDb_.Fail(code);
    }
    return *this;
}

bool Query::Step()
{
    const int code = sqlite3_step(objStmt_);
    if (code == SQLITE_ROW) {
        return true;
    }
    if (code == SQLITE_DONE) {
        return false;
    }
    objDb_.Fail(code);
}

void Query::Run()
{
    while (Step()) {
    }
}

void Query::Reset()
{
    sqlite3_reset(objStmt_);
    sqlite3_clear_bindings(objStmt_);
}

std::int64_t Query::Int(int column) const
{
    return sqlite3_column_int64(objStmt_, column);
}

std::string Query::Text(int column) const
{
    const auto* text = sqlite3_column_text(objStmt_, column);
    if (text == nullptr) {
        return {};
    }
    return {reinterpret_cast<const char*>(text),
            static_cast<std::size_t>(sqlite3_column_bytes(objStmt_, column))};
}

} // namespace qif2ldx::history
