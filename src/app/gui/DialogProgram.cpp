// SPDX-License-Identifier: MIT
#include "app/gui/DialogProgram.h"

#include <QCoreApplication>
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

} // namespace qif2ldx::app::gui
