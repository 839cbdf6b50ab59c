// SPDX-License-Identifier: MIT
#include "history/History.h"

#include "history/Database.h"
#include "history/Query.h"
#include "history/Schema.h"
#include "history/SqliteError.h"
#include "platform/FileSystem.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <new>
#include <nlohmann/json.hpp>
#include <random>
#include <set>
#include <sqlite3.h>

namespace qif2ldx::history {
namespace {

constexpr const char* kStatementColumns =
    "id, account, statement, qif_file, qif_digest, qif_account, made, profile, period_start, "
    "period_end, transactions";

StatementEntry EntryOf(const Query& row)
{
    return {row.Int(0),
            row.Text(1),
            row.Text(2),
            row.Text(3),
            row.Text(4),
            row.Text(5),
            row.Text(6),
            row.Text(7),
            static_cast<std::uint32_t>(row.Int(8)),
            static_cast<std::uint32_t>(row.Int(9)),
            row.Int(10)};
}

std::vector<StatementEntry> Entries(Query& query)
{
    std::vector<StatementEntry> entries;
    while (query.Step()) {
        entries.push_back(EntryOf(query));
    }
    return entries;
}

Trouble TroubleOf(int code)
{
    switch (code) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Trouble::Busy;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return Trouble::Damaged;
    case SQLITE_READONLY:
        return Trouble::ReadOnly;
    default:
        return Trouble::Unavailable;
    }
}

std::string FolderOf(const std::string& sPath)
{
    const std::string sFolder = std::filesystem::path(sPath).parent_path().string();
    return sFolder.empty() ? std::string(".") : sFolder;
}

// One day's transactions as recorded; an empty list for a text that is no such list.
nlohmann::json ParseDay(const std::string& sText)
{
    nlohmann::json list = nlohmann::json::parse(sText, nullptr, false);
    return list.is_array() ? list : nlohmann::json::array();
}

TransactionKey KeyOf(std::uint32_t day, const nlohmann::json& fields)
{
    const auto text = [&fields](std::size_t at) {
        return fields.is_array() && at < fields.size() && fields[at].is_string()
                   ? fields[at].get<std::string>()
                   : std::string();
    };
    return {day, text(0), text(1), text(2), text(3)};
}

// A statement's entry, its transactions and the marks of its repeats; not the marks of others
// that repeat it.
void Remove(Database& objDb, std::int64_t id)
{
    for (const char* sSql : {"DELETE FROM repeats WHERE statement_id = ?",
                             "DELETE FROM statement_days WHERE statement_id = ?",
                             "DELETE FROM statements WHERE id = ?"}) {
        Query query(objDb, sSql);
        query.Bind(1, id).Run();
    }
}

// The database opened for the access asked. A history in WAL mode whose folder cannot be
// written is read as immutable: the shared-memory file it needs cannot be made there, and no
// program can write it meanwhile either. So is one whose file cannot be written: SQLite would
// make its -wal and -shm files with the file's own read-only mode, and every later writer would
// find them read-only.
std::unique_ptr<Database> OpenDatabase(const std::string& sPath, History::Access access,
                                       int busyMilliseconds)
{
    if (access == History::Access::Write) {
        return std::make_unique<Database>(sPath, Database::Mode::Write, busyMilliseconds);
    }
    if (!platform::CanWriteFile(sPath)) {
        return std::make_unique<Database>(sPath, Database::Mode::Immutable, busyMilliseconds);
    }
    try {
        auto objDb = std::make_unique<Database>(sPath, Database::Mode::Read, busyMilliseconds);
        static_cast<void>(SchemaVersion(*objDb)); // the shared memory is opened on first read
        return objDb;
    } catch (const SqliteError& error) {
        const bool bolNoSharedMemory =
            error.Code() == SQLITE_CANTOPEN || error.Code() == SQLITE_READONLY;
        if (!bolNoSharedMemory || platform::CanWriteIn(FolderOf(sPath))) {
            throw;
        }
    }
    return std::make_unique<Database>(sPath, Database::Mode::Immutable, busyMilliseconds);
}

} // namespace

History::History(int busyMilliseconds) : busyMilliseconds_(busyMilliseconds) {}
History::~History() = default;

void History::Close()
{
    objDb_.reset();
}

template <typename F> Status History::Guarded(F&& objRun)
{
    if (!objDb_) {
        return {Trouble::Absent, "the history is not open"};
    }
    try {
        objRun(*objDb_);
        return {};
    } catch (const SqliteError& error) {
        return {TroubleOf(error.Code()), error.what()};
    } catch (const std::bad_alloc&) {
        return {Trouble::Unavailable, "not enough memory"};
    } catch (const std::exception& error) {
        return {Trouble::Unavailable, error.what()};
    }
}

Status History::Open(const std::string& sPath, Access access, const LegacyDateOrders& objLegacy)
{
    Close();
    try {
        if (access == Access::Read) {
            std::error_code ignored; // what cannot be looked at cannot be read either
            if (!std::filesystem::exists(sPath, ignored)) {
                return {Trouble::Absent, {}};
            }
            if (!platform::IsRegularFile(sPath)) { // a FIFO would hold the reader for good
                return {Trouble::Unavailable,
                        platform::SystemWords({platform::ReasonKind::NotAFile, 0})};
            }
        } else if (const platform::Done made = platform::MakePrivateFile(sPath); !made) {
            // The file made empty with mode 0600, in a folder made with mode 0700 when missing
            // (an empty file is an empty database); an existing one made the user's alone.
            return {Trouble::Unavailable, platform::SystemWords(made.reason)};
        } else if (const platform::Done writable = platform::CanWriteFile(sPath); !writable) {
            // Opened for writing, SQLite would fall back to reading it, and turning WAL on
            // would leave read-only -wal and -shm files behind.
            return {Trouble::ReadOnly, platform::SystemWords(writable.reason)};
        }
        auto objDb = OpenDatabase(sPath, access, busyMilliseconds_);
        if (IsForeign(*objDb)) {
            // Looked at before WAL is turned on: another program's database is never changed.
            return {Trouble::Foreign, "it holds tables of another program"};
        }
        if (access == Access::Write) {
            // WAL lets readers go on while another program records; a commit then needs no
            // flush of its own (a crash loses at most the last commit, never the database).
            objDb->Execute("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL");
            Migrate(*objDb, objLegacy);
        }
        const int version = SchemaVersion(*objDb);
        if (version > kSchemaVersion) {
            return {Trouble::Newer, "schema version " + std::to_string(version)};
        }
        if (version < kSchemaVersion) {
            return {Trouble::Absent, {}}; // made but not begun yet, by another program
        }
        objDb_ = std::move(objDb);
        return {};
    } catch (const SqliteError& error) {
        return {TroubleOf(error.Code()), error.what()};
    } catch (const std::bad_alloc&) {
        return {Trouble::Unavailable, "not enough memory"};
    }
}

Result<Earlier> History::EarlierOf(const std::string& sAccount, std::uint32_t from,
                                   std::uint32_t to)
{
    Result<Earlier> result;
    result.status = Guarded([&](Database& objDb) {
        Query statements(objDb, std::string("SELECT ") + kStatementColumns +
                                    " FROM statements WHERE account = ? AND period_end >= ? AND "
                                    "period_start <= ? AND transactions > 0 ORDER BY id");
        statements.Bind(1, sAccount).Bind(2, from).Bind(3, to);
        result.value.statements = Entries(statements);
        Query days(objDb, "SELECT day, transactions FROM statement_days WHERE statement_id = ? "
                          "AND day BETWEEN ? AND ?");
        Query repeats(objDb, "SELECT day, position FROM repeats WHERE statement_id = ? AND day "
                             "BETWEEN ? AND ?");
        for (const StatementEntry& entry : result.value.statements) {
            std::set<std::pair<std::int64_t, std::int64_t>> repeated;
            repeats.Bind(1, entry.id).Bind(2, from).Bind(3, to);
            while (repeats.Step()) {
                repeated.emplace(repeats.Int(0), repeats.Int(1));
            }
            repeats.Reset();
            days.Bind(1, entry.id).Bind(2, from).Bind(3, to);
            while (days.Step()) {
                const std::int64_t day = days.Int(0);
                const nlohmann::json list = ParseDay(days.Text(1));
                for (std::size_t i = 0; i < list.size(); ++i) {
                    if (!repeated.contains({day, static_cast<std::int64_t>(i)})) {
                        result.value.transactions.push_back(
                            {entry.id, KeyOf(static_cast<std::uint32_t>(day), list[i])});
                    }
                }
            }
            days.Reset();
        }
    });
    return result;
}

Result<std::vector<StatementEntry>> History::StatementsOfFile(const std::string& sDigest)
{
    Result<std::vector<StatementEntry>> result;
    result.status = Guarded([&](Database& objDb) {
        Query query(objDb, std::string("SELECT ") + kStatementColumns +
                               " FROM statements WHERE qif_digest = ? ORDER BY id DESC");
        query.Bind(1, sDigest);
        result.value = Entries(query);
    });
    return result;
}

Result<std::vector<StatementEntry>> History::Statements(const std::optional<std::string>& sAccount)
{
    Result<std::vector<StatementEntry>> result;
    result.status = Guarded([&](Database& objDb) {
        Query query(objDb, std::string("SELECT ") + kStatementColumns + " FROM statements" +
                               (sAccount ? " WHERE account = ?" : "") + " ORDER BY id DESC");
        if (sAccount) {
            query.Bind(1, *sAccount);
        }
        result.value = Entries(query);
    });
    return result;
}

Result<std::int64_t> History::Record(const StatementEntry& entry, std::int64_t replaces,
                                     const TransactionSource& objNext)
{
    Result<std::int64_t> result;
    result.status = Guarded([&](Database& objDb) {
        Database::Transaction transaction(objDb);
        // Each day's transactions as the JSON text of their list, in file order, and where the
        // repeats are.
        struct Day
        {
            std::string sList;
            std::size_t count = 0;
        };
        std::map<std::uint32_t, Day> byDay;
        struct Repeat
        {
            std::uint32_t day;
            std::size_t position;
            std::int64_t repeatOf;
        };
        std::vector<Repeat> repeats;
        RecordedTransaction row;
        nlohmann::json fields = nlohmann::json::array({"", "", "", "", ""});
        while (objNext(row)) {
            Day& day = byDay[row.key.day];
            if (row.repeatOf != 0) {
                repeats.push_back({row.key.day, day.count, row.repeatOf});
            }
            std::size_t at = 0;
            for (std::string* sField :
                 {&row.key.sAmount, &row.key.sPayee, &row.key.sNum, &row.key.sMemo, &row.sFitId}) {
                fields[at++].get_ref<std::string&>().swap(*sField);
            }
            // Text that is no UTF-8 is kept with replacement characters rather than lost.
            day.sList += (day.count++ == 0 ? "[" : ",") +
                         fields.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
        }
        Query statement(objDb, "INSERT INTO statements (account, statement, qif_file, qif_digest, "
                               "qif_account, made, profile, period_start, period_end, "
                               "transactions) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        statement.Bind(1, entry.sAccount)
            .Bind(2, entry.sStatement)
            .Bind(3, entry.sQIFFile)
            .Bind(4, entry.sDigest)
            .Bind(5, entry.sQIFAccount)
            .Bind(6, entry.sMade)
            .Bind(7, entry.sProfile)
            .Bind(8, entry.start)
            .Bind(9, entry.end)
            .Bind(10, entry.transactions)
            .Run();
        const std::int64_t id = objDb.LastInsertId();
        Query day(objDb,
                  "INSERT INTO statement_days (statement_id, day, transactions) VALUES (?, ?, ?)");
        for (auto& [date, list] : byDay) {
            list.sList += "]";
            day.Bind(1, id).Bind(2, date).Bind(3, list.sList);
            day.Run();
            day.Reset();
        }
        Query repeat(objDb, "INSERT INTO repeats (statement_id, day, position, repeat_of) VALUES "
                            "(?, ?, ?, ?)");
        for (const Repeat& at : repeats) {
            repeat.Bind(1, id)
                .Bind(2, at.day)
                .Bind(3, static_cast<std::int64_t>(at.position))
                .Bind(4, at.repeatOf);
            repeat.Run();
            repeat.Reset();
        }
        if (replaces != 0) {
            // What repeated the old entry repeats the new one, which repeats nothing of it.
            Query own(objDb, "DELETE FROM repeats WHERE statement_id = ? AND repeat_of = ?");
            own.Bind(1, id).Bind(2, replaces).Run();
            Query others(objDb, "UPDATE repeats SET repeat_of = ? WHERE repeat_of = ?");
            others.Bind(1, id).Bind(2, replaces).Run();
            Remove(objDb, replaces);
        }
        transaction.Commit();
        result.value = id;
    });
    return result;
}

Status History::Forget(const std::vector<std::int64_t>& ids)
{
    return Guarded([&](Database& objDb) {
        Database::Transaction transaction(objDb);
        Query repeats(objDb, "DELETE FROM repeats WHERE repeat_of = ?");
        for (const std::int64_t id : ids) {
            repeats.Bind(1, id).Run();
            repeats.Reset();
            Remove(objDb, id);
        }
        transaction.Commit();
    });
}

Result<std::optional<std::string>> History::DateOrder(const std::string& sAccount)
{
    return FirstText("SELECT date_order FROM date_orders WHERE account = ?", sAccount);
}

Status History::KeepDateOrder(const std::string& sAccount, const std::string& sOrder)
{
    return Guarded([&](Database& objDb) {
        Query query(objDb,
                    "INSERT OR REPLACE INTO date_orders (account, date_order) VALUES (?, ?)");
        query.Bind(1, sAccount).Bind(2, sOrder).Run();
    });
}

Result<std::optional<std::string>> History::FirstText(const char* sSql,
                                                      const std::optional<std::string>& sParameter)
{
    Result<std::optional<std::string>> result;
    result.status = Guarded([&](Database& objDb) {
        Query query(objDb, sSql);
        if (sParameter) {
            query.Bind(1, *sParameter);
        }
        if (query.Step()) {
            result.value = query.Text(0);
        }
    });
    return result;
}

Result<std::optional<std::string>> History::AccountOfQIFAccount(const std::string& sQIFAccount)
{
    return FirstText("SELECT account FROM statements WHERE qif_account = ? AND qif_account <> '' "
                     "ORDER BY id DESC LIMIT 1",
                     sQIFAccount);
}

Result<std::optional<std::string>> History::QIFAccountOf(const std::string& sAccount)
{
    return FirstText("SELECT qif_account FROM statements WHERE account = ? AND qif_account <> '' "
                     "ORDER BY id DESC LIMIT 1",
                     sAccount);
}

Result<std::optional<std::string>> History::LastAccount()
{
    return FirstText("SELECT account FROM statements ORDER BY id DESC LIMIT 1", std::nullopt);
}

std::optional<std::string> History::SetAside(const std::string& sPath, const std::string& sWhy)
{
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char digits[9];
        std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(random()));
        std::string sAside = sPath;
        sAside.append(".").append(sWhy).append("-").append(digits);
        if (const platform::Done moved = platform::RenameNoReplace(sPath, sAside); !moved) {
            if (moved.reason.kind == platform::ReasonKind::Exists) {
                continue;
            }
            return std::nullopt;
        }
        // The journal files belong to the damaged file; left behind, they would be taken for
        // the fresh one's.
        for (const char* sEnding : {"-wal", "-shm"}) {
            const platform::Done moved =
                platform::RenameNoReplace(sPath + sEnding, sAside + sEnding);
            if (!moved && moved.reason.kind != platform::ReasonKind::NoSuchFile) {
                std::error_code ignored; // a file that stays is opened as the fresh one's
                std::filesystem::remove(sPath + sEnding, ignored);
            }
        }
        return sAside;
    }
    return std::nullopt;
}

} // namespace qif2ldx::history
