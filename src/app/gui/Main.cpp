// SPDX-License-Identifier: MIT
#include "app/gui/QtFileDialogBackend.h"
#include "app/gui/QtMessages.h"
#include "app/gui/QtSettings.h"
#include "app/gui/frmConvertImport.h"
#include "platform/ExecutableFolder.h"
#include "platform/GioFileAssociation.h"
#include "platform/SpawnProcessStarter.h"
#include "platform/SystemClock.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <chrono>
#include <thread>

namespace qif2ldx::app::gui {

int Main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QtMessages objMessages;
    const platform::ExecutableFolder objFolder;
    const platform::SystemClock objClock;
    QtSettings objSettings(QFileInfo(QCoreApplication::applicationFilePath()).baseName());
    const platform::GioFileAssociation objAssociation;
    platform::SpawnProcessStarter objStarter;
    QtFileDialogBackend objFileDialogs(nullptr);
    HelpWindow objHelp;

    frmConvertImport dialog({{objMessages, objFolder, objClock,
                              [] { std::this_thread::sleep_for(std::chrono::seconds(1)); }},
                             objSettings,
                             objAssociation,
                             objStarter,
                             objFileDialogs,
                             objHelp,
                             QDir::homePath()});
    // File dialogs and help belong to the dialog, so that they come up above it.
    objFileDialogs.SetParent(&dialog);
    objHelp.setParent(&dialog, objHelp.windowFlags());
    dialog.show();
    return application.exec();
}

} // namespace qif2ldx::app::gui
