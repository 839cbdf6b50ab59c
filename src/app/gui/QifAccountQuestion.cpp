// SPDX-License-Identifier: MIT
#include "app/gui/QifAccountQuestion.h"

#include "app/gui/SetTopMost.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace qif2ldx::app::gui {
namespace {

QString Transactions(std::int64_t count)
{
    return QString::number(count) + (count == 1 ? " transaction" : " transactions");
}

// "Checking (Bank): 12 transactions".
QString Item(const qif::QifAccount& account)
{
    QString sItem = QString::fromStdString(account.sName);
    if (!account.sType.empty()) {
        sItem += " (" + QString::fromStdString(account.sType) + ")";
    }
    return sItem + ": " + Transactions(account.transactions);
}

} // namespace

std::optional<std::size_t> QtListQuestion::Ask(const QString& sText, const QStringList& items,
                                               std::size_t preselected)
{
    QDialog dialog(objOwner_);
    dialog.setObjectName("frmQifAccount");
    dialog.setWindowTitle("Lodestrand");
    dialog.setModal(true);
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(&dialog);
    label->setTextFormat(Qt::PlainText); // it names the file's accounts, never markup
    label->setText(sText);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto* list = new QListWidget(&dialog);
    list->setObjectName("List1");
    list->addItems(items);
    list->setCurrentRow(static_cast<int>(std::min<std::size_t>(preselected, items.size() - 1)));
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    SetTopMost(&dialog);
    if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(list->currentRow());
}

qif::ChooseQifAccount AskQifAccount(IListQuestion& objQuestion, std::string sAccount,
                                    std::optional<std::string> sPreferred)
{
    return [&objQuestion, sAccount = std::move(sAccount), sPreferred = std::move(sPreferred)](
               const std::vector<qif::QifAccount>& accounts) -> std::optional<std::string> {
        QStringList items;
        std::int64_t total = 0;
        for (const qif::QifAccount& account : accounts) {
            items << Item(account);
            total += account.transactions;
        }
        items << "All of them: " + Transactions(total);
        const auto most =
            std::max_element(accounts.begin(), accounts.end(), [](const auto& a, const auto& b) {
                return a.transactions < b.transactions;
            });
        auto preselected = static_cast<std::size_t>(most - accounts.begin());
        if (sPreferred) {
            const auto kept =
                std::find_if(accounts.begin(), accounts.end(), [&sPreferred](const auto& account) {
                    return qif::QifAccountKey(account.sName) == qif::QifAccountKey(*sPreferred);
                });
            preselected = kept != accounts.end() ? static_cast<std::size_t>(kept - accounts.begin())
                                                 : preselected;
        }
        const QString sText =
            "This QIF file holds the transactions of " + QString::number(accounts.size()) +
            " accounts. Which of them do you want to convert into the statement for “" +
            QString::fromStdString(sAccount) + "”?";
        const std::optional<std::size_t> answer = objQuestion.Ask(sText, items, preselected);
        if (!answer || *answer > accounts.size()) {
            return std::nullopt;
        }
        return *answer == accounts.size() ? std::string() : accounts[*answer].sName;
    };
}

} // namespace qif2ldx::app::gui
