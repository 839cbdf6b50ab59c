// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IEnvironment.h"

#include <string>
#include <vector>

namespace qif2ldx::app {

enum class StartMode
{
    Dialog,       // no arguments: the dialog
    DialogOnFile, // one file to open, as a file manager passes it: the dialog on that file
    CommandLine   // anything else
};

// How the program starts with these arguments (those after the program's name). Exactly one
// argument that names an existing file, is none of the command line's commands and does not
// start with "-" opens the dialog on it, when a display is available; anything else goes to
// the command line.
[[nodiscard]] StartMode ChooseStartMode(const std::vector<std::string>& arguments,
                                        const platform::IEnvironment& objEnvironment,
                                        const std::vector<std::string>& commands);

// Whether the window system the dialog is going to use is there: X11 or Wayland need DISPLAY
// or WAYLAND_DISPLAY (set and not empty); a platform named in QT_QPA_PLATFORM other than those
// two (offscreen, vnc and the like) needs nothing.
[[nodiscard]] bool DisplayAvailable(const platform::IEnvironment& objEnvironment);

} // namespace qif2ldx::app
