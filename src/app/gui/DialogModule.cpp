// SPDX-License-Identifier: MIT
// The dialog as a module that the program loads only when it is started without arguments, so
// that the command line never pays for Qt.
#include "app/gui/DialogProgram.h"

extern "C" __attribute__((visibility("default"))) int qif2ldx_run_dialog(int argc, char** argv)
{
    return qif2ldx::app::gui::Main(argc, argv);
}
