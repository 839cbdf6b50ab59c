// SPDX-License-Identifier: MIT
#pragma once

class QWidget;

namespace qif2ldx::app::gui {

// Keeps the window above all others without moving or resizing it; a window already on top is
// left alone.
void SetTopMost(QWidget* objWindow);

} // namespace qif2ldx::app::gui
