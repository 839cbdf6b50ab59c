// SPDX-License-Identifier: MIT
#pragma once

#include "platform/ISettings.h"

#include <QString>

namespace qif2ldx::app::gui {

// The per-user settings as an INI file (QSettings), organisation and application both the
// executable's name: ~/.config/qif2ldx/qif2ldx.ini.
class QtSettings final : public platform::ISettings
{
public:
    explicit QtSettings(QString sApplication) : sApplication_(std::move(sApplication)) {}

    void WriteText(const std::string& sSection, const std::string& sName,
                   const std::string& sValue) override;
    [[nodiscard]] std::optional<std::string> ReadText(const std::string& sSection,
                                                      const std::string& sName) const override;

private:
    QString sApplication_;
};

} // namespace qif2ldx::app::gui
