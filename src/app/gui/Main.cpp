// SPDX-License-Identifier: MIT
#include "app/gui/DialogProgram.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <chrono>
#include <thread>

namespace qif2ldx::app::gui {

void DialogProgram::DialogHelp::ShowTopic(const QString& sTopic)
{
    if (objWindow != nullptr) {
        objWindow->ShowTopic(sTopic);
    }
}

DialogProgram::DialogProgram()
    : objSettings_(QFileInfo(QCoreApplication::applicationFilePath()).baseName())
{
    objDialog_ = std::make_unique<frmConvertImport>(
        DialogServices{{objMessages_, objFolder_, objClock_,
                        [] { std::this_thread::sleep_for(std::chrono::seconds(1)); }},
                       objSettings_,
                       objAssociation_,
                       objStarter_,
                       objFileDialogs_,
                       objHelp_,
                       QDir::homePath()});
    objFileDialogs_.SetParent(objDialog_.get());
    objHelp_.objWindow = new HelpWindow(objDialog_.get()); // owned by the dialog
}

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
