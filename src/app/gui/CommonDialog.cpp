// SPDX-License-Identifier: MIT
#include "app/gui/CommonDialog.h"

namespace qif2ldx::app::gui {

bool CommonDialog::ShowAs(bool bolSave)
{
    const std::optional<QString> chosen =
        objBackend_.Show({bolSave, DialogTitle, Filter, InitDir, FileName});
    if (!chosen) {
        return false;
    }
    FileName = *chosen;
    return true;
}

} // namespace qif2ldx::app::gui
