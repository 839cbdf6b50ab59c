// SPDX-License-Identifier: MIT
#include "app/gui/QtSettings.h"

#include "platform/FileSystem.h"

#include <QSettings>

namespace qif2ldx::app::gui {

void QtSettings::WriteText(const std::string& sSection, const std::string& sName,
                           const std::string& sValue)
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, sApplication_, sApplication_);
    // The folders the user works in are the user's business: the file, and the copy QSettings
    // builds with its permissions, are readable by the user alone. A file that cannot be made
    // private is written all the same: the settings only save the user some browsing.
    static_cast<void>(platform::MakePrivateFile(settings.fileName().toStdString()));
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
