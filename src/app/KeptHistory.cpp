// SPDX-License-Identifier: MIT
#include "app/KeptHistory.h"

#include "app/DateOrderMemory.h"
#include "app/MainModule.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <filesystem>
#include <utility>

namespace qif2ldx::app {
namespace {

// Why the history could not be used, after its name: "is in use by another program".
std::string Why(const history::Status& status)
{
    switch (status.trouble) {
    case history::Trouble::None:
    case history::Trouble::Absent:
        break;
    case history::Trouble::Busy:
        return "is in use by another program";
    case history::Trouble::Damaged:
        return "is damaged (" + status.sDetail + ")";
    case history::Trouble::Foreign:
        return "is not a history of qif2ldx (" + status.sDetail + ")";
    case history::Trouble::Newer:
        return "was made by a newer version of the program";
    case history::Trouble::Unavailable:
        return "cannot be used (" + status.sDetail + ")";
    case history::Trouble::ReadOnly:
        return "cannot be written (" + status.sDetail + ")";
    }
    return "cannot be used";
}

// Whether the trouble is in the file itself, so that a fresh history can take its place.
bool SetAsideFor(history::Trouble trouble)
{
    return trouble == history::Trouble::Damaged || trouble == history::Trouble::Foreign;
}

// What a look-up in the history proposes: nothing when there is no history to read or the
// look-up fails (a proposal is never worth a warning).
template <typename LookUp>
std::optional<std::string> Proposed(history::History* objHistory, LookUp lookUp)
{
    if (objHistory == nullptr) {
        return std::nullopt;
    }
    auto proposal = lookUp(*objHistory);
    return proposal.status.Ok() ? proposal.value : std::nullopt;
}

} // namespace

KeptHistory UserHistory(const platform::IEnvironment& objEnvironment, HistoryUse use)
{
    return KeptHistory(UserDataFile(objEnvironment, kHistoryFileName),
                       UserConfigFile(objEnvironment, DateOrderMemory::kFileName), use);
}

KeptHistory::KeptHistory(std::string sPath, std::string sLegacyDateOrders, HistoryUse use)
    : sPath_(std::move(sPath)), sLegacyDateOrders_(std::move(sLegacyDateOrders)), use_(use)
{
    if (sPath_.empty() && use_ != HistoryUse::Off) {
        // Without a folder for it there is no history: told on every run, never taken for an
        // empty one.
        bolGivenUp_ = true;
        sGivenUp_ = std::string(use_ == HistoryUse::Record
                                    ? "repeats were not checked and nothing is recorded"
                                    : "repeats were not checked") +
                    ": neither XDG_DATA_HOME nor HOME names a folder for the history";
    }
}

void KeptHistory::Tell(const history::Status& status, const std::string& sWhat)
{
    TellOnce(sWhat + ": the history " + platform::EscapeControls(sPath_) + " " + Why(status));
}

void KeptHistory::TellOnce(const std::string& sTrouble)
{
    // Once a run: each file of a batch is told, and a file only once.
    if (std::find(troubles_.begin(), troubles_.end(), sTrouble) == troubles_.end()) {
        troubles_.push_back(sTrouble);
    }
}

void KeptHistory::GiveUp(const history::Status& status)
{
    bolGivenUp_ = true;
    sGivenUp_ = "repeats were not checked and nothing is recorded: the history " +
                platform::EscapeControls(sPath_) + " " + Why(status);
}

std::vector<history::DateOrderEntry> KeptHistory::OldDateOrders()
{
    std::string sWarning;
    std::vector<history::DateOrderEntry> kept = LegacyDateOrders(sLegacyDateOrders_, &sWarning);
    if (!sWarning.empty()) {
        TellOnce(sWarning);
    }
    return kept;
}

std::vector<std::string> KeptHistory::TakeTroubles()
{
    return std::exchange(troubles_, {});
}

bool KeptHistory::Open(bool bolCreate)
{
    if (objHistory_.IsOpen()) {
        return true;
    }
    if (bolGivenUp_ && (troubles_.empty() || sPath_.empty())) {
        // What kept an earlier run of the session from the history keeps this one from it too.
        TellOnce(sGivenUp_);
    }
    if (bolGivenUp_ || use_ == HistoryUse::Off || sPath_.empty()) {
        return false;
    }
    std::error_code ignored;
    const bool bolExists = std::filesystem::exists(sPath_, ignored);
    // A history is made only to record in: reading one that is not there yet finds nothing.
    if (use_ == HistoryUse::Record && !bolReadOnly_ && (bolCreate || bolExists)) {
        const history::Status status = objHistory_.Open(sPath_, history::History::Access::Write,
                                                        [this] { return OldDateOrders(); });
        if (status.Ok()) {
            bolWritable_ = true;
            return true;
        }
        if (SetAsideFor(status.trouble) || status.trouble == history::Trouble::Busy) {
            // A busy one is not waited for again; a damaged one, or another program's database,
            // is set aside and begun afresh, to record in but with nothing to check against.
            static_cast<void>(Check(status, SetAsideFor(status.trouble)
                                                ? "repeats were not checked"
                                                : "repeats were not checked and nothing is "
                                                  "recorded"));
            return objHistory_.IsOpen();
        }
        writeTrouble_ = status; // a history that cannot be written may still be read
        bolReadOnly_ = true;
    }
    if (!bolExists) {
        return false;
    }
    const history::Status status = objHistory_.Open(sPath_, history::History::Access::Read);
    if (status.Ok() || status.trouble == history::Trouble::Absent) {
        return status.Ok();
    }
    Tell(status, "repeats were not checked");
    GiveUp(status);
    return false;
}

history::History* KeptHistory::Reader()
{
    return Open(false) ? &objHistory_ : nullptr;
}

history::History* KeptHistory::Writer()
{
    if (use_ != HistoryUse::Record || !Open(true)) {
        if (writeTrouble_.trouble == history::Trouble::None) {
            return nullptr;
        }
    } else if (bolWritable_) {
        return &objHistory_;
    }
    if (writeTrouble_.trouble != history::Trouble::None) {
        Tell(writeTrouble_, "the statement was not recorded");
    }
    return nullptr;
}

bool KeptHistory::Check(const history::Status& status, const std::string& sWhat)
{
    if (status.Ok() || status.trouble == history::Trouble::Absent) {
        return status.Ok();
    }
    objHistory_.Close();
    if (SetAsideFor(status.trouble) && use_ == HistoryUse::Record) {
        const std::optional<std::string> sAside = history::History::SetAside(
            sPath_, status.trouble == history::Trouble::Foreign ? "foreign" : "damaged");
        const history::Status fresh =
            sAside ? objHistory_.Open(sPath_, history::History::Access::Write,
                                      [this] { return OldDateOrders(); })
                   : history::Status{history::Trouble::Unavailable, "it cannot be moved aside"};
        if (fresh.Ok()) {
            bolWritable_ = true;
            bolBegunAfresh_ = true;
            troubles_.push_back(sWhat + ": the history " + platform::EscapeControls(sPath_) + " " +
                                Why(status) + "; it was set aside as " +
                                platform::EscapeControls(*sAside) + " and a new one begun");
            return false;
        }
        Tell(fresh.trouble == history::Trouble::None ? status : fresh, sWhat);
    } else {
        Tell(status, sWhat);
    }
    bolWritable_ = false;
    GiveUp(status);
    return false;
}

std::optional<std::string> KeptHistory::DateOrder(const std::string& sAccount)
{
    if (use_ == HistoryUse::Off) {
        return std::nullopt;
    }
    if (history::History* objHistory = Reader()) {
        auto kept = objHistory->DateOrder(sAccount);
        if (Check(kept.status, "the date order kept for the account was not read")) {
            return kept.value;
        }
    }
    // Before there is a history, the orders are where the program kept them before.
    for (const history::DateOrderEntry& entry : OldDateOrders()) {
        if (entry.sAccount == sAccount) {
            return entry.sOrder;
        }
    }
    return std::nullopt;
}

bool KeptHistory::KeepDateOrder(const std::string& sAccount, const std::string& sOrder)
{
    history::History* objHistory = Writer();
    return objHistory != nullptr &&
           Check(objHistory->KeepDateOrder(sAccount, sOrder), "the date order was not kept");
}

std::optional<std::string> KeptHistory::AccountOfQIFAccount(const std::string& sQIFAccount)
{
    return sQIFAccount.empty() ? std::nullopt
                               : Proposed(Reader(), [&](history::History& objHistory) {
                                     return objHistory.AccountOfQIFAccount(sQIFAccount);
                                 });
}

std::optional<std::string> KeptHistory::QIFAccountOf(const std::string& sAccount)
{
    return sAccount.empty() ? std::nullopt : Proposed(Reader(), [&](history::History& objHistory) {
        return objHistory.QIFAccountOf(sAccount);
    });
}

std::optional<std::string> KeptHistory::LastAccount()
{
    return Proposed(Reader(),
                    [](history::History& objHistory) { return objHistory.LastAccount(); });
}

} // namespace qif2ldx::app
