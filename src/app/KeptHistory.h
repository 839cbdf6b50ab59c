// SPDX-License-Identifier: MIT
#pragma once

#include "history/History.h"
#include "platform/IEnvironment.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qif2ldx::app {

// What a front end does with the history.
enum class HistoryUse
{
    Off,   // nothing is read or recorded, the date orders kept per account included
    Read,  // read where it exists, never made or changed (show, a dry run)
    Record // read, and made on first use to record in
};

// The history's file: "history.sqlite3" in the user's data folder.
inline constexpr const char* kHistoryFileName = "history.sqlite3";

// The program's history as one front end uses it: opened on first use and kept open for the
// runs that follow, so that each file of a batch sees the ones recorded before it. A history
// that cannot be used never stops a conversion: when recording, a damaged one (or another
// program's database at its path) is set aside and a fresh one begun; a busy or unreadable one is
// left alone for the rest of the session. Each such trouble is told once, in the user's words,
// through Troubles.
class KeptHistory
{
public:
    // sPath: the history's file (empty: no folder for it is known, told on each use but Off);
    // sLegacyDateOrders: the file the date orders were kept in before, read while there is no
    // history and taken into the one made.
    KeptHistory(std::string sPath, std::string sLegacyDateOrders, HistoryUse use);

    [[nodiscard]] HistoryUse Use() const { return use_; }
    [[nodiscard]] const std::string& Path() const { return sPath_; }
    // The history could not be used, and is not tried again this session.
    [[nodiscard]] bool GivenUp() const { return bolGivenUp_; }
    // Whether a history was set aside and a new one begun since the last call: what
    // is checked against the new one was not checked against the statements of the old.
    [[nodiscard]] bool TakeBegunAfresh() { return std::exchange(bolBegunAfresh_, false); }

    // The history to read, never made by reading; nullptr when there is none yet, it may not be
    // read, or it cannot be (told in Troubles).
    [[nodiscard]] history::History* Reader();
    // The history to record in, made when missing; nullptr when nothing may or can be recorded
    // (the reason told in Troubles).
    [[nodiscard]] history::History* Writer();
    // Told what an operation on the history met; true when it went well. A damaged history (or
    // another program's database) is set aside when recording (the next Writer begins a fresh
    // one); any other trouble ends the use of the history for this session. sWhat says what went
    // undone ("repeats were not checked").
    bool Check(const history::Status& status, const std::string& sWhat);

    // The troubles told since the last call, one sentence each without the program's prefix.
    [[nodiscard]] std::vector<std::string> TakeTroubles();

    // The date order kept for the account (without outer spaces): "dmy", "mdy" or "ymd";
    // from the old file while there is no history. nullopt when none is kept.
    [[nodiscard]] std::optional<std::string> DateOrder(const std::string& sAccount);
    // Keeps the date order for the account; false when it cannot be kept.
    [[nodiscard]] bool KeepDateOrder(const std::string& sAccount, const std::string& sOrder);
    // The account of the latest statement made from a QIF file's account of that name, or of
    // the latest statement of all; nullopt when the history holds none. Troubles are not told:
    // these only propose.
    [[nodiscard]] std::optional<std::string> AccountOfQIFAccount(const std::string& sQIFAccount);
    [[nodiscard]] std::optional<std::string> LastAccount();
    // The QIF account of the latest statement made for the account (without outer spaces)
    // from one QIF account of a file; nullopt when none was. Troubles are not told.
    [[nodiscard]] std::optional<std::string> QIFAccountOf(const std::string& sAccount);

private:
    // Opens the history the way its use asks, made when missing only with bolCreate; false
    // when there is none or it cannot be used.
    bool Open(bool bolCreate);
    void Tell(const history::Status& status, const std::string& sWhat);
    void TellOnce(const std::string& sTrouble);
    // The orders kept in the old file of date orders; a file too large to be one is told.
    [[nodiscard]] std::vector<history::DateOrderEntry> OldDateOrders();
    // Leaves the history alone for the rest of the session, for that trouble; each later run
    // is told so once.
    void GiveUp(const history::Status& status);

    std::string sPath_;
    std::string sLegacyDateOrders_;
    HistoryUse use_;
    history::History objHistory_;
    bool bolReadOnly_ = false;     // it cannot be opened for recording, only read
    bool bolWritable_ = false;     // it is open for recording
    bool bolGivenUp_ = false;      // it cannot be used for the rest of the session
    bool bolBegunAfresh_ = false;  // a damaged one was set aside (see TakeBegunAfresh)
    std::string sGivenUp_;         // what each later run is told of it
    history::Status writeTrouble_; // why it could not be opened for recording
    std::vector<std::string> troubles_;
};

// The user's own history: "history.sqlite3" in the user's data folder ($XDG_DATA_HOME/qif2ldx,
// ~/.local/share/qif2ldx), with the date orders kept before in the configuration folder.
[[nodiscard]] KeptHistory UserHistory(const platform::IEnvironment& objEnvironment, HistoryUse use);

} // namespace qif2ldx::app
