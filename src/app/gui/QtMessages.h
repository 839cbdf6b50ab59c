// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IMessages.h"

class QWidget;

namespace qif2ldx::app::gui {

// Messages as message boxes: modal, on top of every other window.
class QtMessages final : public platform::IMessages
{
public:
    platform::MessageAnswer Show(const std::string& sTitle, const std::string& sText,
                                 platform::MessageKind kind) override;
    std::optional<std::size_t> Choose(const std::string& sTitle, const std::string& sText,
                                      const std::vector<std::string>& buttons,
                                      std::size_t preselected) override;
};

} // namespace qif2ldx::app::gui
