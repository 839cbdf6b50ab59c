// SPDX-License-Identifier: MIT
#pragma once

#include "history/Database.h"
#include "history/History.h"

namespace qif2ldx::history {

// The schema version a database holds (PRAGMA user_version); 0 for a new, empty one. Throws
// SqliteError, SQLITE_NOTADB for a file that is no database.
[[nodiscard]] int SchemaVersion(Database& objDb);

// Whether the database is another program's: schema version 0 (not one of ours, nor begun by
// us) and yet it holds tables, views or triggers. Throws SqliteError.
[[nodiscard]] bool IsForeign(Database& objDb);

// Brings the database's schema up to History::kSchemaVersion, one migration after another in
// one write transaction, the version checked again once the lock is held (another program may
// have migrated meanwhile). The first migration takes objLegacy's date orders. Throws
// SqliteError.
void Migrate(Database& objDb, const History::LegacyDateOrders& objLegacy);

} // namespace qif2ldx::history
