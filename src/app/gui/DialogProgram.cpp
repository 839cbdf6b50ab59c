// SPDX-License-Identifier: MIT
#include "app/gui/DialogProgram.h"

#include "platform/Terminal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
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
    : objInterrupt_(platform::CatchInterrupts()),
      objSettings_(QFileInfo(QCoreApplication::applicationFilePath()).baseName())
{
    objDialog_ = std::make_unique<frmConvertImport>(DialogServices{
        {objMessages_, objFolder_, objClock_,
         [] { std::this_thread::sleep_for(std::chrono::seconds(1)); }, &objInterrupt_},
        objSettings_,
        objAssociation_,
        objStarter_,
        objFileDialogs_,
        objHelp_,
        objEnvironment_,
        QDir::homePath(),
        LocaleDateShower(platform::UserTimeLocale())});
    objFileDialogs_.SetParent(objDialog_.get());
    objHelp_.objWindow = new HelpWindow(objDialog_.get()); // owned by the dialog
    // Asked to end while the user is busy with the dialog: it closes, as with its close box. A
    // run in progress notices the request itself.
    auto* watch = new QTimer(objDialog_.get());
    QObject::connect(watch, &QTimer::timeout, objDialog_.get(), [this] {
        if (objInterrupt_.load() != 0) {
            objDialog_->close();
        }
    });
    watch->start(200);
}

} // namespace qif2ldx::app::gui
