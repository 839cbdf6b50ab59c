// SPDX-License-Identifier: MIT
#pragma once

#include "app/gui/CommonDialog.h"

class QWidget;

namespace qif2ldx::app::gui {

// File dialogs with QFileDialog. Filters match without regard to case ("*.QIF" also shows
// "bank.qif"), since Linux file names differ by case where Windows' do not.
class QtFileDialogBackend final : public IFileDialogBackend
{
public:
    explicit QtFileDialogBackend(QWidget* objParent) : objParent_(objParent) {}

    std::optional<QString> Show(const FileDialogRequest& objRequest) override;

    // The window the dialogs belong to.
    void SetParent(QWidget* objParent) { objParent_ = objParent; }

    // "QIF File [*.QIF]|*.QIF|All Files (*.*)|*.*" as Qt's name filters, each pattern letter
    // matching either case.
    static QStringList NameFilters(const QString& sFilter);

private:
    QWidget* objParent_;
};

} // namespace qif2ldx::app::gui
