// SPDX-License-Identifier: MIT
#include "history/Schema.h"

#include "history/Query.h"

#include <string>

namespace qif2ldx::history {
namespace {

// Version 1: the statements made; their transactions, one row a statement and day holding that
// day's transactions as a JSON array of [amount, payee, number, memo, FITID] in file order (a
// row each would make recording a large statement cost more than converting it); the
// transactions that repeated an earlier statement's when they were written, by their place;
// the date orders per account.
void CreateFirst(Database& objDb, const History::LegacyDateOrders& objLegacy)
{
    objDb.Execute(R"(
        CREATE TABLE statements (
            id INTEGER PRIMARY KEY,
            account TEXT NOT NULL,
            statement TEXT NOT NULL,
            qif_file TEXT NOT NULL,
            qif_digest TEXT NOT NULL,
            qif_account TEXT NOT NULL,
            made TEXT NOT NULL,
            profile TEXT NOT NULL,
            period_start INTEGER NOT NULL,
            period_end INTEGER NOT NULL,
            transactions INTEGER NOT NULL
        );
        CREATE INDEX statements_by_account ON statements (account, period_end);
        CREATE INDEX statements_by_digest ON statements (qif_digest);
        CREATE TABLE statement_days (
            statement_id INTEGER NOT NULL,
            day INTEGER NOT NULL,
            transactions TEXT NOT NULL,
            PRIMARY KEY (statement_id, day)
        ) WITHOUT ROWID;
        CREATE TABLE repeats (
            statement_id INTEGER NOT NULL,
            day INTEGER NOT NULL,
            position INTEGER NOT NULL,
            repeat_of INTEGER NOT NULL,
            PRIMARY KEY (statement_id, day, position)
        ) WITHOUT ROWID;
        CREATE INDEX repeats_by_earlier ON repeats (repeat_of);
        CREATE TABLE date_orders (
            account TEXT PRIMARY KEY,
            date_order TEXT NOT NULL
        ) WITHOUT ROWID;
    )");
    if (!objLegacy) {
        return;
    }
    Query insert(objDb, "INSERT OR IGNORE INTO date_orders (account, date_order) VALUES (?, ?)");
    for (const DateOrderEntry& entry : objLegacy()) {
        insert.Bind(1, entry.sAccount).Bind(2, entry.sOrder).Run();
        insert.Reset();
    }
}

} // namespace

int SchemaVersion(Database& objDb)
{
    Query version(objDb, "PRAGMA user_version");
    return version.Step() ? static_cast<int>(version.Int(0)) : 0;
}

bool IsForeign(Database& objDb)
{
    // One statement reads both from one snapshot: a history that another program is beginning
    // gets its tables and its version in one transaction, so it is never taken for a foreign one.
    Query query(objDb, "SELECT (SELECT user_version FROM pragma_user_version), "
                       "EXISTS (SELECT 1 FROM sqlite_master)");
    return query.Step() && query.Int(0) == 0 && query.Int(1) != 0;
}

void Migrate(Database& objDb, const History::LegacyDateOrders& objLegacy)
{
    if (SchemaVersion(objDb) >= History::kSchemaVersion) {
        return;
    }
    Database::Transaction transaction(objDb);
    const int version = SchemaVersion(objDb);
    if (version >= History::kSchemaVersion) {
        return; // another program migrated it while this one waited for the lock
    }
    if (version < 1) {
        CreateFirst(objDb, objLegacy);
    }
    // Later versions add their migrations here, each from the one before.
    objDb.Execute("PRAGMA user_version = " + std::to_string(History::kSchemaVersion));
    transaction.Commit();
}

} // namespace qif2ldx::history
