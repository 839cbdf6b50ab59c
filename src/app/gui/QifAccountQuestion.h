// SPDX-License-Identifier: MIT
#pragma once

#include "qif/QifAccounts.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <string>

class QWidget;

namespace qif2ldx::app::gui {

// Asks the person converting to pick one of a list: the program's own dialog, a scripted one in
// tests.
class IListQuestion
{
public:
    virtual ~IListQuestion() = default;

    // Shows sText above the items, the one at preselected chosen, and waits: the index of the
    // item chosen (OK, Enter or a double click), or nullopt for Cancel or a window closed.
    [[nodiscard]] virtual std::optional<std::size_t>
    Ask(const QString& sText, const QStringList& items, std::size_t preselected) = 0;
};

// The list question as a small modal dialog titled "Lodestrand": the text, a list of the
// items (an export may hold twenty accounts: no button each), OK and Cancel.
class QtListQuestion final : public IListQuestion
{
public:
    explicit QtListQuestion(QWidget* objOwner) : objOwner_(objOwner) {}

    [[nodiscard]] std::optional<std::size_t> Ask(const QString& sText, const QStringList& items,
                                                 std::size_t preselected) override;

private:
    QWidget* objOwner_;
};

// The run's question of which QIF account to convert, put to objQuestion: each account that
// holds transactions with its type and count, then "All of them". Preselected is sPreferred
// (the QIF account kept for the Lodestrand account, compared as account names are) when the
// file holds it, otherwise the account with the most transactions. sAccount names the
// Lodestrand account in the question.
[[nodiscard]] qif::ChooseQifAccount AskQifAccount(IListQuestion& objQuestion, std::string sAccount,
                                                  std::optional<std::string> sPreferred);

} // namespace qif2ldx::app::gui
