// SPDX-License-Identifier: MIT
#pragma once

#include "platform/IFileAssociation.h"
#include "platform/IMessages.h"
#include "platform/IProcessStarter.h"
#include "platform/ISettings.h"

#include <string>

namespace qif2ldx::app {

struct HandOffServices
{
    platform::IMessages& objMessages;
    const platform::IFileAssociation& objAssociation;
    platform::IProcessStarter& objStarter;
    platform::ISettings* objSettings = nullptr; // where the folders are remembered, if anywhere
};

// The MIME type the program ships for statement files (*.LDX): only an application registered
// for this very type is handed a statement.
inline constexpr const char* kStatementMimeType = "application/x-lodestrand-statement";

inline constexpr const char* kNotAssociatedMessage =
    "Unable to automatically import .LDX file. This is because Tidelink (.LDX) files are "
    "currently not associated with Lodestrand on this computer."
    " You can manually import your .LDX file from the Lodestrand File menu.";
// When the desktop's services cannot be loaded at all: the message's first sentence, then
// ModuleFailureMessage adds the reason and the way on.
[[nodiscard]] std::string ModuleFailureMessage(const std::string& sFailure);
inline constexpr const char* kNoStatementMessage =
    "Unable to automatically import .LDX file. You can manually import your .LDX file from the "
    "Lodestrand File menu.";

// Remembers the folders of both paths (trimmed) in the settings, as every run through the
// dialog does, whatever its result.
void RememberFolders(const std::string& sQIFText, const std::string& sLDXText,
                     platform::ISettings& objSettings);

// Hands a statement to the accounting application after a run: remembers the folders of both
// paths (trimmed) in the settings, looks up the program associated with the statement file and
// starts it with the statement's path as its one argument, or tells the user to import the file
// by hand. sSavedNote, when not empty, follows that message after a blank line (where the
// statement was saved), unless the statement is gone. True when the application was started.
bool HandOffStatement(const std::string& sQIFText, const std::string& sLDXText,
                      const HandOffServices& objServices, const std::string& sSavedNote = {});

} // namespace qif2ldx::app
