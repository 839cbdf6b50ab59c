// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>

class QWidget;

namespace qif2ldx::app::gui {

// The desktop's dialog font at the largest size up to maxPointSize at which the caption of every
// label and button in the window fits the place it was given. The windows were laid out for a
// narrow font of that size; the desktop's own font may be wider.
[[nodiscard]] QFont FittingFont(const QWidget* objWindow, double maxPointSize);

} // namespace qif2ldx::app::gui
