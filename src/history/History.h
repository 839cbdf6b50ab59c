// SPDX-License-Identifier: MIT
#pragma once

#include "history/HistoryRecords.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qif2ldx::history {

class Database;

// What kept an operation from the history.
enum class Trouble
{
    None,
    Absent,      // there is no history yet (a reading open)
    Busy,        // another program held it locked for longer than the wait
    Damaged,     // the file is no database, or a damaged one
    Foreign,     // the file is another program's database: never written, set aside when recording
    Unavailable, // it cannot be read or written: permissions, a read-only folder, a full disk …
    ReadOnly,    // it can be read but not written (a writing open)
    Newer        // a newer version of the program made it
};

// How an operation on the history ended: Trouble::None, or what kept it and in SQLite's or the
// system's words.
struct Status
{
    Trouble trouble = Trouble::None;
    std::string sDetail;

    [[nodiscard]] bool Ok() const { return trouble == Trouble::None; }
};

// A value, valid only when the status is Ok.
template <typename T> struct Result
{
    T value{};
    Status status;
};

// The statements of an account that reach into a period, and their transactions in it.
struct Earlier
{
    std::vector<StatementEntry> statements; // oldest first
    // Only those that repeated no transaction before them when they were written.
    std::vector<EarlierTransaction> transactions;
};

// What the program remembers of the statements it made, the date orders chosen per account and
// the accounts QIF files belong to: one SQLite database, schema-versioned (PRAGMA user_version)
// and migrated on open, in WAL mode with a busy wait so that two programs at once both record.
// Every operation catches its own failures and returns them as a Status; none throws.
class History
{
public:
    // How long an operation waits for another program's lock.
    static constexpr int kBusyMilliseconds = 5000;
    // The schema this version of the program reads and writes.
    static constexpr int kSchemaVersion = 1;

    enum class Access
    {
        Read, // an existing history, changed in nothing
        Write // made when missing
    };
    // The date orders a history made now begins with (those the program kept before it had
    // one).
    using LegacyDateOrders = std::function<std::vector<DateOrderEntry>()>;
    // Fills the next transaction to record; false when there are no more.
    using TransactionSource = std::function<bool(RecordedTransaction&)>;

    // busyMilliseconds: how long an operation waits for another program's lock.
    explicit History(int busyMilliseconds = kBusyMilliseconds);
    ~History();
    History(const History&) = delete;
    History& operator=(const History&) = delete;

    // Opens the history at sPath. Read: Absent when there is none (nothing is made). Write:
    // made when missing, with mode 0600, in a folder made with mode 0700; a history made now
    // takes objLegacy's date orders. Closes what was open before.
    [[nodiscard]] Status Open(const std::string& sPath, Access access,
                              const LegacyDateOrders& objLegacy = {});
    [[nodiscard]] bool IsOpen() const { return objDb_ != nullptr; }
    void Close();

    // The statements of sAccount whose period reaches into [from, to] (yyyymmdd), and their
    // transactions dated in it.
    [[nodiscard]] Result<Earlier> EarlierOf(const std::string& sAccount, std::uint32_t from,
                                            std::uint32_t to);
    // The statements made from a QIF file whose bytes have this digest, newest first.
    [[nodiscard]] Result<std::vector<StatementEntry>> StatementsOfFile(const std::string& sDigest);
    // Every statement, newest first; only sAccount's when given.
    [[nodiscard]] Result<std::vector<StatementEntry>>
    Statements(const std::optional<std::string>& sAccount);

    // Records a statement and its transactions in one step, objNext called while the history
    // is held for writing. replaces, when not 0, is the entry
    // it takes the place of (the same statement made again): that entry and its transactions
    // go, and the transactions that repeated them repeat the new one. The new entry's id.
    [[nodiscard]] Result<std::int64_t> Record(const StatementEntry& entry, std::int64_t replaces,
                                              const TransactionSource& objNext);
    // Forgets the statements with these ids and their transactions; the transactions that
    // repeated theirs count as new again.
    [[nodiscard]] Status Forget(const std::vector<std::int64_t>& ids);

    // The date order kept for the account ("dmy", "mdy", "ymd"); nullopt when none is.
    [[nodiscard]] Result<std::optional<std::string>> DateOrder(const std::string& sAccount);
    [[nodiscard]] Status KeepDateOrder(const std::string& sAccount, const std::string& sOrder);

    // The account of the latest statement made from a QIF file's account of that name.
    [[nodiscard]] Result<std::optional<std::string>>
    AccountOfQIFAccount(const std::string& sQIFAccount);
    // The QIF account of the latest statement made for the account from one QIF account of a
    // file; nullopt when none was.
    [[nodiscard]] Result<std::optional<std::string>> QIFAccountOf(const std::string& sAccount);
    // The account of the latest statement made.
    [[nodiscard]] Result<std::optional<std::string>> LastAccount();

    // Moves a damaged history (or another program's database) aside, with its -wal and -shm
    // files, under a name that no file has ("history.sqlite3.damaged-1a2b3c4d", with sWhy for
    // "damaged"), so that a fresh one can begin. The new name of the history file; nullopt when
    // it cannot be moved.
    [[nodiscard]] static std::optional<std::string> SetAside(const std::string& sPath,
                                                             const std::string& sWhy = "damaged");

private:
    template <typename F> Status Guarded(F&& objRun);
    // The first column of the first row sSql gives, with one parameter or none.
    Result<std::optional<std::string>> FirstText(const char* sSql,
                                                 const std::optional<std::string>& sParameter);

    int busyMilliseconds_;
    std::unique_ptr<Database> objDb_;
};

} // namespace qif2ldx::history
