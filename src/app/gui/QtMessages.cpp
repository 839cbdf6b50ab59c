// SPDX-License-Identifier: MIT
#include "app/gui/QtMessages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace qif2ldx::app::gui {
namespace {

// A message box as every one of the program's is: titled, modal and on top. Its text is shown
// as it stands: it quotes what files hold (payees, names), which Qt would otherwise take for
// markup when it looks like some.
void Prepare(QMessageBox& box, const std::string& sTitle, const std::string& sText)
{
    box.setWindowTitle(QString::fromStdString(sTitle));
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(sText));
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

} // namespace

std::optional<std::size_t> QtMessages::Choose(const std::string& sTitle, const std::string& sText,
                                              const std::vector<std::string>& buttons,
                                              std::size_t preselected)
{
    QMessageBox box(QApplication::activeWindow());
    Prepare(box, sTitle, sText);
    box.setIcon(QMessageBox::Question);
    std::vector<QAbstractButton*> added;
    added.reserve(buttons.size());
    for (const std::string& sButton : buttons) {
        added.push_back(box.addButton(QString::fromStdString(sButton), QMessageBox::AcceptRole));
    }
    QAbstractButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setEscapeButton(cancel);
    box.setDefaultButton(
        qobject_cast<QPushButton*>(preselected < added.size() ? added[preselected] : cancel));
    box.exec();
    for (std::size_t i = 0; i < added.size(); ++i) {
        if (box.clickedButton() == added[i]) {
            return i;
        }
    }
    return std::nullopt;
}

platform::MessageAnswer QtMessages::Show(const std::string& sTitle, const std::string& sText,
                                         platform::MessageKind kind)
{
    QMessageBox box(QApplication::activeWindow());
    Prepare(box, sTitle, sText);
    switch (kind) {
    case platform::MessageKind::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case platform::MessageKind::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case platform::MessageKind::Question:
        box.setIcon(QMessageBox::NoIcon);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? platform::MessageAnswer::Yes
                                              : platform::MessageAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return platform::MessageAnswer::Ok;
}

} // namespace qif2ldx::app::gui
