// SPDX-License-Identifier: MIT
#pragma once

#include "app/HandOff.h"
#include "app/gui/QtFileDialogBackend.h"
#include "app/gui/QtMessages.h"
#include "app/gui/QtSettings.h"
#include "app/gui/frmConvertImport.h"
#include "platform/ExecutableFolder.h"
#include "platform/Interrupts.h"
#include "platform/ProcessEnvironment.h"
#include "platform/SystemClock.h"
#include "platform/gio/GioFileAssociation.h"
#include "platform/gio/SpawnProcessStarter.h"

#include <memory>

namespace qif2ldx::app::gui {

// The dialog wired to the program's own services, which it owns; the file dialogs and the help
// window belong to the dialog so that they come up above it.
class DialogProgram
{
public:
    DialogProgram();

    [[nodiscard]] frmConvertImport& Dialog() { return *objDialog_; }

private:
    // Shows topics in a help window that the dialog owns, once there is one.
    struct DialogHelp final : IHelpViewer
    {
        HelpWindow* objWindow = nullptr;
        void ShowTopic(const QString& sTopic) override;
    };

    const std::atomic<int>& objInterrupt_;
    QtMessages objMessages_;
    platform::ExecutableFolder objFolder_;
    platform::SystemClock objClock_;
    QtSettings objSettings_;
    platform::GioFileAssociation objAssociation_{kStatementMimeType};
    platform::SpawnProcessStarter objStarter_;
    QtFileDialogBackend objFileDialogs_{nullptr};
    DialogHelp objHelp_;
    platform::ProcessEnvironment objEnvironment_;
    std::unique_ptr<frmConvertImport> objDialog_;
};

// Opens the dialog with the program's own services, modeless; returns when it has closed.
int Main(int argc, char** argv);

} // namespace qif2ldx::app::gui
