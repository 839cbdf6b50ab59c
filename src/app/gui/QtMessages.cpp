// SPDX-License-Identifier: MIT
#include "app/gui/QtMessages.h"

#include <QApplication>
#include <QMessageBox>

namespace qif2ldx::app::gui {

platform::MessageAnswer QtMessages::Show(const std::string& sTitle, const std::string& sText,
                                         platform::MessageKind kind)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QString::fromStdString(sTitle));
    box.setText(QString::fromStdString(sText));
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
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
