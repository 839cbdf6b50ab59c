// SPDX-License-Identifier: MIT
#include "app/gui/SetTopMost.h"

#include <QWidget>

namespace qif2ldx::app::gui {

void SetTopMost(QWidget* objWindow)
{
    if (objWindow == nullptr || objWindow->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
        return;
    }
    const bool bolVisible = objWindow->isVisible();
    const QRect geometry = objWindow->geometry();
    // Changing a window's flags hides it; show it again where it was.
    objWindow->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (bolVisible) {
        objWindow->setGeometry(geometry);
        objWindow->show();
    }
}

} // namespace qif2ldx::app::gui
