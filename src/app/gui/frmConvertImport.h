// SPDX-License-Identifier: MIT
#pragma once

#include "app/Receipt.h"
#include "app/gui/CommonDialog.h"
#include "app/gui/HelpWindow.h"
#include "app/gui/frmSplash.h"
#include "platform/IEnvironment.h"
#include "platform/IFileAssociation.h"
#include "platform/IProcessStarter.h"
#include "platform/ISettings.h"

#include <QDialog>
#include <optional>
#include <string>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace qif2ldx::app::gui {

// Everything the dialog takes from the program; tests give it fakes.
struct DialogServices
{
    RunServices objRun;
    platform::ISettings& objSettings;
    const platform::IFileAssociation& objAssociation;
    platform::IProcessStarter& objStarter;
    IFileDialogBackend& objFileDialogs;
    IHelpViewer& objHelp;
    const platform::IEnvironment& objEnvironment; // where the user's own account list is
    QString sDefaultBrowseFolder;     // where the file dialogs start without a remembered folder
    DateShower objShowDate = IsoDate; // dates in questions and messages
};

// The "Import Bank Statement" dialog: the QIF file, the statement file and the account to
// import into; OK checks the input, converts behind the progress window, hands the statement to
// the accounting application and closes.
class frmConvertImport final : public QDialog
{
    Q_OBJECT

public:
    explicit frmConvertImport(DialogServices objServices, QWidget* objParent = nullptr);

    // Puts sPath in the QIF box and proposes the statement path beside it, as choosing the file
    // with the QIF Browse does: the path up to its last "." followed by "LDX".
    void OpenQIFFile(const QString& sPath);

    // The account list file's full path, once the whole file has been read.
    QString sOLAccntListFile;

protected:
    void keyPressEvent(QKeyEvent* objEvent) override;
    bool event(QEvent* objEvent) override;
    bool eventFilter(QObject* objWatched, QEvent* objEvent) override;

private:
    void OnCommand(std::int32_t lngIndex);
    void OnBrowse(std::int32_t lngIndex);
    void LoadAccounts();
    void BrowseQIFFile();
    void BrowseLDXFile();
    // Puts the statement path proposed for the QIF path in the statement box.
    void ProposeStatementPath(const QString& sQIFPath);
    // Puts in the account box the account the history keeps for the QIF file's account (its
    // first "!Account" block's name), or else the account of the last statement recorded, when
    // the account list holds it; an account the user picked, typed or confirmed in the
    // unlisted-account question stays. sQIFPath may be empty (no file yet).
    void PreselectAccount(const std::string& sQIFPath);
    // A QIF path typed or pasted: once it names an existing file, the statement path is
    // proposed for it, unless the user has put a statement path of their own in the box.
    void FollowTypedQIFPath(const QString& sText);
    QString ShowQIFOpenDialog();
    QString ShowLDXSaveDialog();
    QString ShowFileDialog(QLineEdit* objBox, const QString& sTitle, const QString& sFilter,
                           bool bolSave, const char* sFolderSetting);
    // The folder a file dialog starts in: the remembered one when it still exists, otherwise
    // the default browse folder (or the program's folder when there is none).
    [[nodiscard]] QString StartFolder(const char* sFolderSetting) const;
    bool ValidateInput();
    // For an account the list does not hold, asks whether to use the closest name or to
    // convert anyway. The name to convert for: the box's for a listed account or "Convert
    // anyway", the closest name for "Use"; nullopt when the user cancels. The box is left as it
    // is: the closest name goes into it only once the statement is saved.
    [[nodiscard]] std::optional<std::string> ConfirmAccount();
    // Puts the typed paths as the shell would take them (a leading "~/" made the home folder)
    // back in their boxes.
    void ExpandTypedPaths();
    void ConvertAndImport();
    // After the progress window: what the run has to tell, the hand-off and close after a
    // success; otherwise the folders are remembered and the dialog stays open.
    // sConverted: the account the run converted for.
    void AfterRun(const ConversionOutcome& objOutcome, const std::string& sConverted);
    void ShowHelp(const QString& sTopicPath);

    DialogServices objServices_;
    bool bolMayReplace_ = false;    // the user agreed to replace the existing statement
    QString sProposedLDX_;          // the statement path proposed last; empty before any
    QString sPreselected_;          // the account preselected last; empty before any
    bool bolAccountChosen_ = false; // the user picked, typed or confirmed the account
    CommonDialog dlgCommonDialog;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QComboBox* Combo1;
    QButtonGroup* Command;
    QButtonGroup* Browse;
};

} // namespace qif2ldx::app::gui
