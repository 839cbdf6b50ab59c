// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <optional>

namespace qif2ldx::app::gui {

// What a file dialog is asked to show.
struct FileDialogRequest
{
    bool bolSave = false; // a save dialog; an open dialog otherwise
    QString sTitle;
    QString sFilter;   // "Description|pattern|Description|pattern"
    QString sInitDir;  // folder to start in when sFileName is empty
    QString sFileName; // file to start on
};

// Shows file dialogs: the platform's in the program, a scripted one in tests.
class IFileDialogBackend
{
public:
    virtual ~IFileDialogBackend() = default;

    // The file chosen; nullopt when the user cancelled. Asks no questions about overwriting and
    // does not require the file to exist.
    virtual std::optional<QString> Show(const FileDialogRequest& objRequest) = 0;
};

// One file dialog shared by both browse buttons; it keeps the last file name it returned.
class CommonDialog
{
public:
    explicit CommonDialog(IFileDialogBackend& objBackend) : objBackend_(objBackend) {}

    QString FileName;
    QString DialogTitle;
    QString Filter;
    QString InitDir;

    // Show the dialog; false when the user cancelled (FileName then stays as it was).
    bool ShowOpen() { return ShowAs(false); }
    bool ShowSave() { return ShowAs(true); }

private:
    bool ShowAs(bool bolSave);

    IFileDialogBackend& objBackend_;
};

} // namespace qif2ldx::app::gui
