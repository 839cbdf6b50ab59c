// SPDX-License-Identifier: MIT
#include "qif/QifAccounts.h"

#include "platform/Text.h"
#include "platform/Utf8.h"
#include "platform/Windows1252.h"

#include <algorithm>

namespace qif2ldx::qif {
namespace {

// A field's bytes as the fields of one record are compared with each other, undecoded: without
// the blanks at either end, in lower case where ASCII.
std::string RawKey(std::string_view sField)
{
    return platform::ToLowerAscii(platform::TrimBlanks(sField));
}

} // namespace

std::string QifAccountKey(std::string_view sName)
{
    return platform::FoldCase(platform::TrimBlanks(sName));
}

bool IsOpeningBalance(const RawRecord& record)
{
    if (!record.bolFirstOfAccount || !record.IsComplete() ||
        RawKey(record.sPayee) != "opening balance") {
        return false;
    }
    const std::string_view category = platform::TrimBlanks(record.sCategory);
    const std::size_t close = category.find(']');
    // "[Checking]", or "[Checking]/Class" with a class after it.
    if (category.empty() || category.front() != '[' || close == std::string_view::npos ||
        (close + 1 < category.size() && category[close + 1] != '/')) {
        return false;
    }
    return record.sAccount.empty() ||
           RawKey(category.substr(1, close - 1)) == RawKey(record.sAccount);
}

QifAccount& QifAccountCensus::AccountOf(std::string_view sAccount, std::string_view sType)
{
    if (sAccount.data() == sLast_.data() && sAccount.size() == sLast_.size()) {
        return accounts_[lastIndex_]; // the same block as before
    }
    std::string sName = platform::DecodeFileText(platform::TrimBlanks(sAccount), bolUtf8_);
    std::string sKey = QifAccountKey(sName);
    const auto found = std::find(keys_.begin(), keys_.end(), sKey);
    lastIndex_ = static_cast<std::size_t>(found - keys_.begin());
    if (found == keys_.end()) {
        accounts_.push_back(
            {std::move(sName), platform::DecodeFileText(platform::TrimBlanks(sType), bolUtf8_), 0});
        keys_.push_back(std::move(sKey));
    }
    sLast_ = sAccount;
    return accounts_[lastIndex_];
}

void QifAccountCensus::Note(const RawRecord& record)
{
    // An account's own block: the account is there, with or without transactions.
    if (record.kind == RawRecord::Kind::List && record.bolName && !record.sAccount.empty() &&
        SectionName(record.sSection) == "!ACCOUNT") {
        static_cast<void>(AccountOf(record.sAccount, record.sAccountType));
        return;
    }
    if (record.kind != RawRecord::Kind::Transaction || !record.IsComplete() ||
        IsOpeningBalance(record)) {
        return;
    }
    if (record.sAccount.empty()) {
        ++unnamed_;
        return;
    }
    ++AccountOf(record.sAccount, record.sAccountType).transactions;
}

std::size_t QifAccountCensus::Holding() const
{
    return static_cast<std::size_t>(
               std::count_if(accounts_.begin(), accounts_.end(),
                             [](const QifAccount& account) { return account.transactions > 0; })) +
           (unnamed_ > 0 ? 1 : 0);
}

bool QifAccountFilter::Takes(std::string_view sAccount) const
{
    if (!sKey_) {
        return true;
    }
    if (!bolAsked_ || sAccount.data() != sLast_.data() || sAccount.size() != sLast_.size()) {
        bolLast_ = !sAccount.empty() &&
                   QifAccountKey(platform::DecodeFileText(sAccount, bolUtf8_)) == *sKey_;
        sLast_ = sAccount;
        bolAsked_ = true;
    }
    return bolLast_;
}

QifAccountChoice ChooseAccount(const QifAccountCensus& census, bool bolUtf8,
                               const std::optional<std::string>& sGiven,
                               const ChooseQifAccount& objChoose)
{
    QifAccountChoice choice;
    const std::vector<QifAccount>& accounts = census.Accounts();
    std::optional<std::string> sName = sGiven;
    if (!sName && objChoose && census.Holding() > 1) {
        std::vector<QifAccount> holding;
        std::copy_if(accounts.begin(), accounts.end(), std::back_inserter(holding),
                     [](const QifAccount& account) { return account.transactions > 0; });
        sName = objChoose(holding);
        choice.bolAsked = true;
        if (!sName) {
            choice.outcome = QifAccountChoice::Outcome::Cancelled;
            return choice;
        }
    }
    if (!sName || sName->empty()) {
        // All of them: an account is taken only when it is the file's one.
        if (census.Holding() == 1 && census.Unnamed() == 0) {
            const auto only =
                std::find_if(accounts.begin(), accounts.end(),
                             [](const QifAccount& account) { return account.transactions > 0; });
            choice.sTaken = only->sName;
        }
        return choice;
    }
    const std::string sKey = QifAccountKey(*sName);
    const auto found = std::find_if(accounts.begin(), accounts.end(), [&sKey](const auto& account) {
        return QifAccountKey(account.sName) == sKey;
    });
    if (found == accounts.end()) {
        choice.outcome = QifAccountChoice::Outcome::Unknown;
        std::string sNames;
        for (const QifAccount& account : accounts) {
            sNames += (sNames.empty() ? "" : ", ") + platform::EscapeControls(account.sName);
        }
        choice.sReason = "the QIF file holds no account named \"" +
                         platform::EscapeControls(*sName) + "\"" +
                         (accounts.empty() ? std::string("; it names no account at all")
                                           : "; it holds " + sNames);
        return choice;
    }
    choice.filter = QifAccountFilter(sKey, bolUtf8);
    choice.sTaken = found->sName;
    return choice;
}

} // namespace qif2ldx::qif
