// SPDX-License-Identifier: MIT
#include "app/gui/QtFileDialogBackend.h"

#include <QFileDialog>
#include <QFileInfo>

namespace qif2ldx::app::gui {

QStringList QtFileDialogBackend::NameFilters(const QString& sFilter)
{
    const QStringList parts = sFilter.split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
            QString anyCase;
            for (const QChar c : pattern) {
                if (c.isLetter() && c.toLower() != c.toUpper()) {
                    anyCase += QString("[%1%2]").arg(c.toUpper(), c.toLower());
                } else {
                    anyCase += c;
                }
            }
            patterns << (anyCase == "*.*" ? QString("*") : anyCase);
        }
        // The description keeps its own text; Qt reads the patterns from the parentheses.
        QString description = parts[i];
        description.replace('(', '[').replace(')', ']');
        filters << description + " (" + patterns.join(' ') + ")";
    }
    return filters;
}

std::optional<QString> QtFileDialogBackend::Show(const FileDialogRequest& objRequest)
{
    QFileDialog dialog(objParent_, objRequest.sTitle);
    dialog.setAcceptMode(objRequest.bolSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setNameFilters(NameFilters(objRequest.sFilter));
    if (objRequest.sFileName.isEmpty()) {
        dialog.setDirectory(objRequest.sInitDir);
    } else {
        const QFileInfo current(objRequest.sFileName);
        dialog.setDirectory(current.absolutePath());
        dialog.selectFile(current.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

} // namespace qif2ldx::app::gui
