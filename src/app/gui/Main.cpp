// SPDX-License-Identifier: MIT
#include "app/gui/DialogProgram.h"

#include <QApplication>

namespace qif2ldx::app::gui {

int Main(int argc, char** argv)
{
    QApplication application(argc, argv);
    DialogProgram program;
    // The program ends with the dialog, even while its help window is still open.
    QObject::connect(&program.Dialog(), &QDialog::finished, &application, &QCoreApplication::quit);
    program.Dialog().show();
    return application.exec();
}

} // namespace qif2ldx::app::gui
