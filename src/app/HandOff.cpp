// SPDX-License-Identifier: MIT
#include "app/HandOff.h"

#include "app/ConversionRun.h"
#include "app/MainModule.h"
#include "platform/FileSystem.h"

namespace qif2ldx::app {

void RememberFolders(const std::string& sQIFText, const std::string& sLDXText,
                     platform::ISettings& objSettings)
{
    objSettings.WriteText("Folders", "QIFDir", GetFolderPath(Trim(sQIFText)));
    objSettings.WriteText("Folders", "LDXDir", GetFolderPath(Trim(sLDXText)));
}

std::string ModuleFailureMessage(const std::string& sFailure)
{
    return "Unable to automatically import .LDX file. The desktop's file associations could not "
           "be loaded: " +
           sFailure + ". You can manually import your .LDX file from the Lodestrand File menu.";
}

bool HandOffStatement(const std::string& sQIFText, const std::string& sLDXText,
                      const HandOffServices& objServices, const std::string& sSavedNote)
{
    const std::string sLDX = Trim(sLDXText);
    if (objServices.objSettings != nullptr) {
        RememberFolders(sQIFText, sLDXText, *objServices.objSettings);
    }
    const auto tell = [&](const std::string& sText) {
        std::string sMessage = sText;
        if (!sSavedNote.empty() && FileExists(sLDX)) {
            sMessage += "\r\n\r\n" + sSavedNote;
        }
        static_cast<void>(objServices.objMessages.Show(kMessageTitle, sMessage,
                                                       platform::MessageKind::Information));
    };
    const std::string sHost = objServices.objAssociation.FindExecutable(sLDX);
    if (sHost.empty()) {
        // A desktop module that cannot be loaded says nothing of the associations.
        const std::string sFailure = objServices.objAssociation.LookUpFailure();
        tell(sFailure.empty() ? std::string(kNotAssociatedMessage)
                              : ModuleFailureMessage(sFailure));
        return false;
    }
    const std::string sShortPath = platform::ShortPath(sLDX);
    // An application that cannot be started leaves the user where a missing statement does.
    if (sShortPath.empty() || !objServices.objStarter.StartDetached(sHost, {sShortPath})) {
        tell(kNoStatementMessage);
        return false;
    }
    return true;
}

} // namespace qif2ldx::app
