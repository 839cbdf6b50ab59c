// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;

namespace qif2ldx::history {

// One open connection to an SQLite database file, closed when it goes. Every failure is thrown
// as SqliteError.
class Database
{
public:
    // How the file is opened.
    enum class Mode
    {
        Read,      // read only; the file must exist
        Write,     // read and write; the file must exist
        Immutable, // read only, taken to change in no way meanwhile: no locks and no shared
                   // memory file, so that a history in a folder that cannot be written is read
    };

    // Opens sPath, waiting up to busyMilliseconds whenever another connection holds a lock.
    Database(const std::string& sPath, Mode mode, int busyMilliseconds);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Runs one or more statements that return no rows.
    void Execute(std::string_view sSql);
    // Throws the connection's last error as SqliteError with code.
    [[noreturn]] void Fail(int code) const;

    [[nodiscard]] sqlite3* Handle() const { return objDb_; }
    // Rows changed by the last INSERT, UPDATE or DELETE.
    [[nodiscard]] std::int64_t Changes() const;
    // The rowid the last INSERT gave.
    [[nodiscard]] std::int64_t LastInsertId() const;

    // A write transaction that takes the write lock at once (BEGIN IMMEDIATE), so that two
    // writers queue for it rather than one failing half way; rolled back unless committed.
    class Transaction
    {
    public:
        explicit Transaction(Database& objDb);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;

        void Commit();

    private:
        Database& objDb_;
        bool bolDone_ = false;
    };

private:
    sqlite3* objDb_ = nullptr;
};

} // namespace qif2ldx::history
