// SPDX-License-Identifier: MIT
// The history against a real database file in a fresh folder: made only to record in, with its
// modes; what it records and finds again; a statement made again and one forgotten; and the
// damaged, busy and unwritable histories that must never stop a conversion.
#include "history/History.h"

#include "support/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qif2ldx;
using history::History;
using history::Trouble;
namespace fs = std::filesystem;

namespace {

history::StatementEntry Entry(const std::string& sAccount, const std::string& sStatement,
                              std::uint32_t start, std::uint32_t end, std::int64_t count)
{
    return {0,
            sAccount,
            sStatement,
            "/q/" + sAccount + ".qif",
            "digest",
            "",
            "2026-12-07T12:00:00",
            "lodestrand",
            start,
            end,
            count};
}

// Hands out the transactions given, one a call.
History::TransactionSource From(std::vector<history::RecordedTransaction> rows)
{
    return
        [rows = std::move(rows), at = std::size_t{0}](history::RecordedTransaction& row) mutable {
            if (at == rows.size()) {
                return false;
            }
            row = rows[at++];
            return true;
        };
}

history::RecordedTransaction Row(std::uint32_t day, const std::string& sPayee,
                                 std::int64_t repeatOf = 0)
{
    return {{day, "-12.5", sPayee, "", ""}, "0", repeatOf};
}

std::vector<std::string> Payees(const history::Earlier& earlier)
{
    std::vector<std::string> payees;
    for (const auto& txn : earlier.transactions) {
        payees.push_back(std::to_string(txn.key.day) + " " + txn.key.sPayee);
    }
    std::sort(payees.begin(), payees.end());
    return payees;
}

class HistoryStore : public ::testing::Test
{
protected:
    test::TempDir dir;
    std::string path = dir.File("data/qif2ldx/history.sqlite3");
};

TEST_F(HistoryStore, IsMadeOnlyToRecordInWithPrivateModesAndTheOldDateOrders)
{
    History reader;
    EXPECT_EQ(reader.Open(path, History::Access::Read).trouble, Trouble::Absent);
    EXPECT_FALSE(fs::exists(dir.File("data")));

    History writer;
    ASSERT_TRUE(writer
                    .Open(path, History::Access::Write,
                          [] {
                              return std::vector<history::DateOrderEntry>{{"Savings", "mdy"}};
                          })
                    .Ok());
    struct stat file
    {};
    struct stat folder
    {};
    ASSERT_EQ(::stat(path.c_str(), &file), 0);
    ASSERT_EQ(::stat(dir.File("data/qif2ldx").c_str(), &folder), 0);
    EXPECT_EQ(file.st_mode & 0777, 0600u);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
    EXPECT_EQ(writer.DateOrder("Savings").value, std::optional<std::string>("mdy"));
    ASSERT_TRUE(writer.KeepDateOrder("Savings", "ymd").Ok());

    // Opened again, by the reader this time: the old orders are not taken in twice.
    writer.Close();
    ASSERT_TRUE(reader.Open(path, History::Access::Read).Ok());
    EXPECT_EQ(reader.DateOrder("Savings").value, std::optional<std::string>("ymd"));
    EXPECT_EQ(reader.DateOrder("Other").value, std::nullopt);
}

TEST_F(HistoryStore, FindsTheEarlierTransactionsOfAPeriodAndForgetsWhatItIsTold)
{
    History history;
    ASSERT_TRUE(history.Open(path, History::Access::Write).Ok());
    const auto first =
        history.Record(Entry("Current", "/s/Nov.LDX", 20261101, 20261130, 3), 0,
                       From({Row(20261101, "A"), Row(20261115, "B"), Row(20261130, "C")}));
    ASSERT_TRUE(first.status.Ok());
    // The second repeats the first's 30 November: that one counts once.
    const auto second = history.Record(Entry("Current", "/s/Dec.LDX", 20261130, 20261205, 2), 0,
                                       From({Row(20261130, "C", first.value), Row(20261205, "D")}));
    ASSERT_TRUE(second.status.Ok());
    ASSERT_TRUE(history
                    .Record(Entry("Savings", "/s/Sav.LDX", 20261120, 20261120, 1), 0,
                            From({Row(20261120, "S")}))
                    .status.Ok());

    auto earlier = history.EarlierOf("Current", 20261110, 20261231);
    ASSERT_TRUE(earlier.status.Ok());
    EXPECT_EQ(earlier.value.statements.size(), 2u);
    EXPECT_EQ(Payees(earlier.value),
              (std::vector<std::string>{"20261115 B", "20261130 C", "20261205 D"}));

    // The same statement made again takes the first one's place; what repeated it repeats the
    // new one.
    const auto redo = history.Record(
        Entry("Current", "/s/Nov.LDX", 20261101, 20261130, 3), first.value,
        From({Row(20261101, "A"), Row(20261115, "B"), Row(20261130, "C", first.value)}));
    ASSERT_TRUE(redo.status.Ok());
    EXPECT_EQ(history.Statements("Current").value.size(), 2u);
    EXPECT_EQ(Payees(history.EarlierOf("Current", 20261110, 20261231).value),
              (std::vector<std::string>{"20261115 B", "20261130 C", "20261205 D"}));

    // Forgotten, the statement's repeats in the other count again.
    ASSERT_TRUE(history.Forget({redo.value}).Ok());
    EXPECT_EQ(Payees(history.EarlierOf("Current", 20261101, 20261231).value),
              (std::vector<std::string>{"20261130 C", "20261205 D"}));
    EXPECT_EQ(history.LastAccount().value, std::optional<std::string>("Savings"));
    // The latest is the last recorded, whatever the clock said (a time zone or DST change).
    history::StatementEntry back = Entry("Current", "/s/Jan.LDX", 20270101, 20270101, 0);
    back.sMade = "2026-12-07T11:00:00";
    ASSERT_TRUE(history.Record(back, 0, From({})).status.Ok());
    EXPECT_EQ(history.LastAccount().value, std::optional<std::string>("Current"));
    EXPECT_EQ(history.Statements(std::nullopt).value.front().sStatement, "/s/Jan.LDX");
}

TEST_F(HistoryStore, DamagedHistoryIsSetAsideUnderANewNameAndBegunAfresh)
{
    fs::create_directories(fs::path(path).parent_path());
    test::WriteBytes(path, std::string(4096, 'x'));
    History history;
    EXPECT_EQ(history.Open(path, History::Access::Write).trouble, Trouble::Damaged);
    test::WriteBytes(path + "-wal", "old journal");

    const std::optional<std::string> aside = History::SetAside(path);
    ASSERT_TRUE(aside);
    EXPECT_EQ(test::ReadBytes(*aside), std::string(4096, 'x'));
    // Its journal goes with it: left, it would be taken for the fresh one's.
    EXPECT_EQ(test::ReadBytes(*aside + "-wal"), "old journal");
    EXPECT_FALSE(fs::exists(path + "-wal"));
    ASSERT_TRUE(history.Open(path, History::Access::Write).Ok());
    EXPECT_TRUE(history.Statements(std::nullopt).value.empty());

    // Another damaged one never takes the first one's name.
    history.Close();
    test::WriteBytes(path, "not a database either, and long enough to be read as a header");
    const std::optional<std::string> again = History::SetAside(path);
    ASSERT_TRUE(again);
    EXPECT_NE(*again, *aside);
    EXPECT_EQ(test::ReadBytes(*aside), std::string(4096, 'x'));
}

TEST_F(HistoryStore, BusyHistoryIsToldAfterTheWaitAndTheHolderRecords)
{
    History holder;
    History other(50);
    ASSERT_TRUE(holder.Open(path, History::Access::Write).Ok());
    ASSERT_TRUE(other.Open(path, History::Access::Write).Ok());
    Trouble told = Trouble::None;
    bool bolAsked = false;
    const auto held =
        holder.Record(Entry("Current", "/s/a.LDX", 20261101, 20261101, 1), 0,
                      [&](history::RecordedTransaction& row) {
                          if (bolAsked) {
                              return false;
                          }
                          bolAsked = true;
                          // Meanwhile another program records: it waits, then is told.
                          told = other
                                     .Record(Entry("Current", "/s/b.LDX", 20261102, 20261102, 0), 0,
                                             [](history::RecordedTransaction&) { return false; })
                                     .status.trouble;
                          row = Row(20261101, "A");
                          return true;
                      });
    EXPECT_TRUE(held.status.Ok());
    EXPECT_EQ(told, Trouble::Busy);
    // Once free, both read and record again.
    EXPECT_EQ(other.Statements(std::nullopt).value.size(), 1u);
    EXPECT_TRUE(other
                    .Record(Entry("Current", "/s/b.LDX", 20261102, 20261102, 0), 0,
                            [](history::RecordedTransaction&) { return false; })
                    .status.Ok());
}

TEST_F(HistoryStore, HistoryThatCannotBeWrittenIsUnavailableAndStillRead)
{
    // A file where the history's folder would be: nothing can be made there.
    test::WriteBytes(dir.File("blocked"), "");
    History history;
    EXPECT_EQ(
        history.Open(dir.File("blocked/qif2ldx/history.sqlite3"), History::Access::Write).trouble,
        Trouble::Unavailable);

    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not hold for root";
    }
    ASSERT_TRUE(history.Open(path, History::Access::Write).Ok());
    ASSERT_TRUE(history
                    .Record(Entry("Current", "/s/a.LDX", 20261101, 20261101, 1), 0,
                            From({Row(20261101, "A")}))
                    .status.Ok());
    history.Close();
    fs::permissions(fs::path(path).parent_path(), fs::perms::owner_read | fs::perms::owner_exec);
    fs::permissions(path, fs::perms::owner_read);
    const history::Status status = history.Open(path, History::Access::Write);
    EXPECT_EQ(status.trouble, Trouble::ReadOnly) << status.sDetail;
    EXPECT_TRUE(history.Open(path, History::Access::Read).Ok());
    EXPECT_EQ(history.Statements(std::nullopt).value.size(), 1u);
    fs::permissions(fs::path(path).parent_path(), fs::perms::owner_all);
}

} // namespace
