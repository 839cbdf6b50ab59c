// SPDX-License-Identifier: MIT
#include "app/gui/QtSettings.h"

#include <QSettings>

namespace qif2ldx::app::gui {

void QtSettings::WriteText(const std::string& sSection, const std::string& sName,
                           const std::string& sValue)
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, sApplication_, sApplication_);
    settings.beginGroup(QString::fromStdString(sSection));
    settings.setValue(QString::fromStdString(sName), QString::fromStdString(sValue));
    settings.endGroup();
}

std::optional<std::string> QtSettings::ReadText(const std::string& sSection,
                                                const std::string& sName) const
{
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope, sApplication_,
                             sApplication_);
    const QString sKey = QString::fromStdString(sSection + "/" + sName);
    if (!settings.contains(sKey)) {
        return std::nullopt;
    }
    return settings.value(sKey).toString().toStdString();
}

} // namespace qif2ldx::app::gui
