// SPDX-License-Identifier: MIT
#include "history/Database.h"

#include "history/SqliteError.h"

#include <sqlite3.h>

namespace qif2ldx::history {

namespace {

// The path as an SQLite URI that opens it immutable: "file:" and the path with the characters
// that URIs give a meaning percent-encoded.
std::string ImmutableUri(const std::string& sPath)
{
    std::string sUri = "file:";
    for (const char c : sPath) {
        if (c == '%' || c == '?' || c == '#') {
            static constexpr char kHex[] = "0123456789ABCDEF";
            const auto byte = static_cast<unsigned char>(c);
            sUri += '%';
            sUri += kHex[byte >> 4];
            sUri += kHex[byte & 0x0F];
        } else {
            sUri += c;
        }
    }
    return sUri + "?immutable=1";
}

} // namespace

Database::Database(const std::string& sPath, Mode mode, int busyMilliseconds)
{
    // One thread uses a connection: SQLite's own mutexes would only cost time.
    const int flags = (mode == Mode::Write ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) |
                      (mode == Mode::Immutable ? SQLITE_OPEN_URI : 0) | SQLITE_OPEN_NOFOLLOW |
                      SQLITE_OPEN_NOMUTEX;
    const std::string sName = mode == Mode::Immutable ? ImmutableUri(sPath) : sPath;
    const int code = sqlite3_open_v2(sName.c_str(), &objDb_, flags, nullptr);
    if (code != SQLITE_OK) {
        const std::string sMessage =
            objDb_ != nullptr ? sqlite3_errmsg(objDb_) : sqlite3_errstr(code);
        sqlite3_close(objDb_);
        objDb_ = nullptr;
        throw SqliteError(code & 0xff, sMessage);
    }
    if (mode == Mode::Write && sqlite3_db_readonly(objDb_, "main") == 1) {
        // SQLite opens a file it cannot write for reading instead; a writer wants none of it.
        sqlite3_close(objDb_);
        objDb_ = nullptr;
        throw SqliteError(SQLITE_READONLY, "the file cannot be written");
    }
    sqlite3_busy_timeout(objDb_, busyMilliseconds);
}

Database::~Database()
{
    // Statements are finalised before their connection goes, so the close cannot be refused.
    sqlite3_close(objDb_);
}

void Database::Execute(std::string_view sSql)
{
    const std::string sText(sSql);
    const int code = sqlite3_exec(objDb_, sText.c_str(), nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) {
        Fail(code);
    }
}

void Database::Fail(int code) const
{
    throw SqliteError(code & 0xff, sqlite3_errmsg(objDb_));
}

std::int64_t Database::Changes() const
{
    return sqlite3_changes64(objDb_);
}

std::int64_t Database::LastInsertId() const
{
    return sqlite3_last_insert_rowid(objDb_);
}

Database::Transaction::Transaction(Database& objDb) : objDb_(objDb)
{
    objDb_.Execute("BEGIN IMMEDIATE");
}

Database::Transaction::~Transaction()
{
    if (!bolDone_) {
        // A failed rollback leaves SQLite to roll the transaction back when the connection
        // closes; nothing more can be done here.
        sqlite3_exec(objDb_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

void Database::Transaction::Commit()
{
    objDb_.Execute("COMMIT");
    bolDone_ = true;
}

} // namespace qif2ldx::history
