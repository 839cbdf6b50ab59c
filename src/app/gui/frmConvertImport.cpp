// SPDX-License-Identifier: MIT
#include "app/gui/frmConvertImport.h"

#include "app/AccountList.h"
#include "app/HandOff.h"
#include "app/InputCheck.h"
#include "app/MainModule.h"
#include "app/Suggest.h"
#include "app/gui/DialogWording.h"
#include "app/gui/FittingFont.h"
#include "app/gui/HistoryWording.h"
#include "app/gui/SetTopMost.h"
#include "qif/QIFAccountName.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPushButton>

namespace qif2ldx::app::gui {
namespace {

// Told when a file appeared at the statement path while the statement was written.
constexpr const char* kStatementAppearedMessage =
    "The converted file was not saved: another program created a file of that name while it "
    "was being written. Please choose whether to replace it and press OK again.";
constexpr const char* kQifTooLargeMessage =
    "The QIF file is larger than 1 GiB, far more than any bank statement holds. Please specify a "
    "valid QIF file in the 'QIF File to Convert' edit box.";

// The left-out records the dialog names after a conversion at most.
constexpr std::size_t kLeftOutShown = 10;

constexpr int kOK = 0;
constexpr int kCancel = 1;
constexpr int kHelp = 2;

QLabel* AddLabel(QWidget* objParent, const char* sName, const QString& sText, QRect geometry)
{
    auto* label = new QLabel(sText, objParent);
    label->setObjectName(sName);
    label->setGeometry(geometry);
    return label;
}

QPushButton* AddButton(QWidget* objParent, const QString& sName, const QString& sText,
                       QRect geometry)
{
    auto* button = new QPushButton(sText, objParent);
    button->setObjectName(sName);
    button->setGeometry(geometry);
    // Enter clicks no button: none is the default, none becomes it by taking the focus.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

std::string Text(const QLineEdit* objBox)
{
    return objBox->text().toStdString();
}

} // namespace

frmConvertImport::frmConvertImport(DialogServices objServices, QWidget* objParent)
    : QDialog(objParent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                             Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      objServices_(std::move(objServices)), dlgCommonDialog(objServices_.objFileDialogs),
      Text1(nullptr), Text2(nullptr), Combo1(nullptr), Command(new QButtonGroup(this)),
      Browse(new QButtonGroup(this))
{
    setObjectName("frmConvertImport");
    setWindowTitle("Import Bank Statement");
    setFixedSize(432, 282);

    QPushButton* ok = AddButton(this, "Command(0)", "OK", {112, 248, 65, 25});
    AddLabel(this, "Label1", "QIF File to Convert:", {16, 72, 137, 17});
    AddLabel(this, "Label2", "Save Converted File As:", {16, 120, 121, 17});
    AddLabel(this, "Label3", "Lodestrand Account to Import into:", {16, 168, 185, 17});
    Text1 = new QLineEdit(this);
    Text1->setObjectName("Text1");
    Text1->setGeometry(16, 88, 345, 21);
    QPushButton* browseQIF = AddButton(this, "Browse(0)", "&Browse", {368, 88, 57, 21});
    Text2 = new QLineEdit(this);
    Text2->setObjectName("Text2");
    Text2->setGeometry(16, 136, 345, 21);
    Combo1 = new QComboBox(this);
    Combo1->setObjectName("Combo1");
    Combo1->setGeometry(16, 184, 345, 21);
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);

    QLabel* link = AddLabel(this, "Label4", "What if my account doesn't appear in the above list?",
                            {16, 209, 257, 17});
    QFont underlined = link->font();
    underlined.setUnderline(true);
    link->setFont(underlined);
    QPalette linkColours = link->palette();
    linkColours.setColor(QPalette::WindowText, linkColours.color(QPalette::Highlight));
    link->setPalette(linkColours);
    link->setCursor(Qt::PointingHandCursor);
    link->installEventFilter(this);

    QLabel* intro = AddLabel(
        this, "Label5",
        "This utility will convert a .QIF transaction file downloaded from your financial "
        "institution online banking website into a Lodestrand compatible format (.LDX file) and "
        "import the included transactions into an account you select:",
        {16, 16, 361, 49});
    intro->setWordWrap(true);
    intro->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    QPushButton* cancel = AddButton(this, "Command(1)", "Cancel", {184, 248, 65, 25});
    QPushButton* help = AddButton(this, "Command(2)", "&Help", {256, 248, 65, 25});
    QPushButton* browseLDX = AddButton(this, "Browse(1)", "&Browse", {368, 136, 57, 21});

    Command->addButton(ok, kOK);
    Command->addButton(cancel, kCancel);
    Command->addButton(help, kHelp);
    Browse->addButton(browseQIF, 0);
    Browse->addButton(browseLDX, 1);
    connect(Command, &QButtonGroup::idClicked, this, &frmConvertImport::OnCommand);
    connect(Browse, &QButtonGroup::idClicked, this, &frmConvertImport::OnBrowse);
    connect(Text1, &QLineEdit::textEdited, this, &frmConvertImport::FollowTypedQIFPath);
    // What the user picks or types in the account box is theirs: no preselection replaces it.
    connect(Combo1, &QComboBox::activated, this, [this] { bolAccountChosen_ = true; });
    connect(Combo1->lineEdit(), &QLineEdit::textEdited, this, [this] { bolAccountChosen_ = true; });

    setTabOrder(ok, Text1);
    setTabOrder(Text1, browseQIF);
    setTabOrder(browseQIF, Text2);
    setTabOrder(Text2, Combo1);
    setTabOrder(Combo1, cancel);
    setTabOrder(cancel, help);
    setTabOrder(help, browseLDX);
    ok->setFocus();

    const QFont font = FittingFont(this, 8.25);
    setFont(font);
    QFont linkFont = font;
    linkFont.setUnderline(true);
    link->setFont(linkFont);

    LoadAccounts();
}

void frmConvertImport::LoadAccounts()
{
    const std::string sPath =
        ResolveAccountList({}, objServices_.objRun.objProgramFolder, objServices_.objEnvironment);
    const AccountNames objNames = ReadAccountNames(sPath);
    for (const std::string& sName : objNames.names) {
        Combo1->addItem(QString::fromStdString(sName));
    }
    Combo1->setCurrentIndex(-1);
    Combo1->setEditText(QString());
    if (objNames.bolComplete) {
        sOLAccntListFile = QString::fromStdString(sPath);
    }
    PreselectAccount({});
}

void frmConvertImport::PreselectAccount(const std::string& sQIFPath)
{
    const QString sCurrent = Combo1->currentText().trimmed();
    if (!sCurrent.isEmpty() && (bolAccountChosen_ || Combo1->currentText() != sPreselected_)) {
        return; // the user's own choice
    }
    // Read only: looking something up never makes the history.
    KeptHistory objHistory = UserHistory(objServices_.objEnvironment, HistoryUse::Read);
    std::optional<std::string> sAccount;
    if (const auto sQIFAccount =
            sQIFPath.empty() ? std::nullopt : qif::FirstAccountName(sQIFPath)) {
        sAccount = objHistory.AccountOfQIFAccount(*sQIFAccount);
    }
    if (!sAccount) {
        sAccount = objHistory.LastAccount();
    }
    if (!sAccount) {
        return;
    }
    const int index = Combo1->findText(QString::fromStdString(*sAccount), Qt::MatchExactly);
    if (index < 0) {
        return; // an account the list no longer holds would only be asked about on OK
    }
    sPreselected_ = Combo1->itemText(index);
    Combo1->setCurrentIndex(index);
}

void frmConvertImport::keyPressEvent(QKeyEvent* objEvent)
{
    // Escape does not close this dialog; only Cancel and the close box do.
    if (objEvent->key() == Qt::Key_Escape) {
        objEvent->accept();
        return;
    }
    QDialog::keyPressEvent(objEvent);
}

bool frmConvertImport::event(QEvent* objEvent)
{
    if (objEvent->type() == QEvent::WindowActivate) {
        // Changing the window's flags inside its own activation is not safe: do it right after.
        QMetaObject::invokeMethod(
            this, [this] { SetTopMost(this); }, Qt::QueuedConnection);
    }
    return QDialog::event(objEvent);
}

bool frmConvertImport::eventFilter(QObject* objWatched, QEvent* objEvent)
{
    if (objWatched->objectName() == "Label4" && objEvent->type() == QEvent::MouseButtonRelease) {
        ShowHelp("/nbh_oz_additions/task_qif_ofx_convert_accounts.htm");
        return true;
    }
    return QDialog::eventFilter(objWatched, objEvent);
}

void frmConvertImport::OnCommand(std::int32_t lngIndex)
{
    switch (lngIndex) {
    case kOK:
        ConvertAndImport();
        break;
    case kCancel:
        close();
        break;
    case kHelp:
        ShowHelp("/nbh_oz_additions/task_qif_ofx_convert.htm");
        break;
    default:
        break;
    }
}

void frmConvertImport::OnBrowse(std::int32_t lngIndex)
{
    if (lngIndex == 0) {
        BrowseQIFFile();
    } else {
        BrowseLDXFile();
    }
}

void frmConvertImport::BrowseQIFFile()
{
    const QString sPath = ShowQIFOpenDialog();
    if (sPath.isEmpty()) {
        return;
    }
    QCoreApplication::processEvents();
    OpenQIFFile(sPath);
}

void frmConvertImport::OpenQIFFile(const QString& sPath)
{
    Text1->setText(sPath);
    ProposeStatementPath(sPath);
    PreselectAccount(Trim(sPath.toStdString()));
}

void frmConvertImport::ProposeStatementPath(const QString& sQIFPath)
{
    sProposedLDX_ = QString::fromStdString(GetPathBeforeExtension(sQIFPath.toStdString())) + "LDX";
    Text2->setText(sProposedLDX_);
}

void frmConvertImport::FollowTypedQIFPath(const QString& sText)
{
    const std::string sPath = ExpandHome(sText.toStdString(), objServices_.objEnvironment);
    if (!FileExists(sPath)) {
        return; // still being typed, or a mistake the checks will name
    }
    PreselectAccount(sPath);
    if (!Text2->text().isEmpty() && Text2->text() != sProposedLDX_) {
        return; // a statement path of the user's own
    }
    ProposeStatementPath(QString::fromStdString(sPath));
}

void frmConvertImport::BrowseLDXFile()
{
    const QString sPath = ShowLDXSaveDialog();
    if (sPath.isEmpty()) {
        return;
    }
    QCoreApplication::processEvents();
    Text2->setText(sPath);
}

QString frmConvertImport::ShowQIFOpenDialog()
{
    return ShowFileDialog(Text1, "Select QIF File", "QIF File [*.QIF]|*.QIF|All Files (*.*)|*.*",
                          false, "QIFDir");
}

QString frmConvertImport::ShowLDXSaveDialog()
{
    return ShowFileDialog(Text2, "Select LDX File", "LDX File [*.LDX]|*.LDX", true, "LDXDir");
}

QString frmConvertImport::ShowFileDialog(QLineEdit* objBox, const QString& sTitle,
                                         const QString& sFilter, bool bolSave,
                                         const char* sFolderSetting)
{
    const QString sStartFolder = StartFolder(sFolderSetting);
    // The dialog opens on its last file only while the box still holds exactly that file.
    if (QString::fromStdString(Trim(objBox->text().toStdString())) != dlgCommonDialog.FileName) {
        dlgCommonDialog.FileName.clear();
    }
    dlgCommonDialog.DialogTitle = sTitle;
    dlgCommonDialog.Filter = sFilter;
    if (dlgCommonDialog.FileName.isEmpty()) {
        dlgCommonDialog.InitDir = sStartFolder;
    }
    const bool bolChosen = bolSave ? dlgCommonDialog.ShowSave() : dlgCommonDialog.ShowOpen();
    return bolChosen ? dlgCommonDialog.FileName : QString();
}

QString frmConvertImport::StartFolder(const char* sFolderSetting) const
{
    QString sRemembered = QString::fromStdString(
        objServices_.objSettings.ReadText("Folders", sFolderSetting).value_or(""));
    if (!sRemembered.isEmpty() && QFileInfo(sRemembered).isDir()) {
        return sRemembered;
    }
    if (!objServices_.sDefaultBrowseFolder.isEmpty()) {
        return objServices_.sDefaultBrowseFolder;
    }
    return QString::fromStdString(AppPath(objServices_.objRun.objProgramFolder));
}

bool frmConvertImport::ValidateInput()
{
    platform::IMessages& objMessages = objServices_.objRun.objMessages;
    const auto refuse = [&](const std::string& sText) {
        static_cast<void>(
            objMessages.Show(kMessageTitle, sText, platform::MessageKind::Information));
        return false;
    };
    const std::string sAccount = Combo1->currentText().toStdString();
    bolMayReplace_ = false;
    InputCheck check = CheckConversionInput(Text(Text1), Text(Text2), sAccount, false);
    if (check == InputCheck::StatementExists) {
        if (objMessages.Show(kMessageTitle,
                             "You have specified a file in the 'Save Converted File As' edit box "
                             "that already exists. If you continue, this file will be "
                             "overwritten.\r\n\r\n Do you wish to continue?",
                             platform::MessageKind::Question) != platform::MessageAnswer::Yes) {
            return false;
        }
        bolMayReplace_ = true;
        check = CheckConversionInput(Text(Text1), Text(Text2), sAccount, true);
    }
    switch (check) {
    case InputCheck::Passed:
    case InputCheck::StatementExists:
        return true;
    case InputCheck::QifNotAFile:
        return refuse(QifPathRefusal(Trim(Text(Text1))));
    case InputCheck::QifTooLarge:
        return refuse(kQifTooLargeMessage);
    case InputCheck::BadStatementName:
        return refuse("Please specify a valid location and name (.LDX) for the converted file "
                      "in the 'Save Converted File As' edit box.");
    case InputCheck::StatementIsQif:
        return refuse(kSameFileMessage);
    case InputCheck::NoAccount:
        return refuse("Please select a Lodestrand account to import the converted transactions "
                      "into from the 'Lodestrand Account to Import into' drop list.");
    }
    return false;
}

std::optional<std::string> frmConvertImport::ConfirmAccount()
{
    const std::string sTyped = Combo1->currentText().toStdString();
    const std::string sList = sOLAccntListFile.toStdString();
    records::CAcctInfo cAcctInf;
    const AccountLookup lookup = LookUpAccount(sList, sTyped, cAcctInf);
    if (lookup == AccountLookup::Found || lookup == AccountLookup::IncompleteLine) {
        return sTyped;
    }
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(Combo1->count()));
    for (int i = 0; i < Combo1->count(); ++i) {
        names.push_back(Combo1->itemText(i).toStdString());
    }
    std::vector<std::string> faults;
    for (const AccountLineFault& fault : ReadAccountList(sList).faults) {
        faults.push_back(DescribeFault(sList, fault));
    }
    const AccountQuestion question =
        AskAboutAccount(Trim(sTyped), ClosestMatches(names, Trim(sTyped)), faults);
    const std::optional<std::size_t> answer = objServices_.objRun.objMessages.Choose(
        kMessageTitle, question.sText, question.buttons, question.preselected);
    if (!answer || *answer >= question.buttons.size()) {
        return std::nullopt;
    }
    bolAccountChosen_ = true; // the user's answer: no preselection takes it back
    return question.sUse && *answer == 0 ? *question.sUse : sTyped;
}

void frmConvertImport::ExpandTypedPaths()
{
    for (QLineEdit* objBox : {Text1, Text2}) {
        const std::string sExpanded = ExpandHome(Text(objBox), objServices_.objEnvironment);
        if (sExpanded != Trim(Text(objBox))) {
            objBox->setText(QString::fromStdString(sExpanded));
        }
    }
}

void frmConvertImport::ConvertAndImport()
{
    ExpandTypedPaths();
    const std::optional<std::string> sAccount =
        ValidateInput() ? ConfirmAccount() : std::optional<std::string>();
    if (!sAccount) {
        return; // the dialog stays as the user filled it in
    }
    KeptHistory objHistory = UserHistory(objServices_.objEnvironment, HistoryUse::Record);
    ConversionOutcome objOutcome;
    QAbstractButton* cancel = Command->button(kCancel);
    cancel->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    {
        // The run converts the paths the checks accepted, trimmed: a file name may well hold
        // spaces at its ends, and that would be another file. The look-up trims the name itself.
        frmSplash splash({.sQIFFilePath = Trim(Text(Text1)),
                          .sLDXFilePath = Trim(Text(Text2)),
                          .sAcctName = *sAccount,
                          .sOLAccntListFile = sOLAccntListFile.toStdString()},
                         objServices_.objRun, bolMayReplace_, this);
        splash.SetHistory(&objHistory);
        splash.SetLocale(LocaleDateOrder(objServices_.objEnvironment), objServices_.objShowDate);
        // In a full export, the QIF account taken last for this account is offered first.
        splash.SetPreferredQifAccount(objHistory.QIFAccountOf(Trim(*sAccount)));
        splash.exec();
        objOutcome = splash.Outcome();
    }
    QApplication::restoreOverrideCursor();
    cancel->setEnabled(true);
    AfterRun(objOutcome, *sAccount);
}

void frmConvertImport::AfterRun(const ConversionOutcome& objOutcome, const std::string& sConverted)
{
    if (objOutcome.result == RunResult::Interrupted) {
        close(); // the program was asked to end
        return;
    }
    if (objOutcome.result != RunResult::Saved) {
        // Nothing was written: the dialog stays as the user filled it in, to be corrected.
        RememberFolders(Text(Text1), Text(Text2), objServices_.objSettings);
        if (objOutcome.result == RunResult::Refused) {
            static_cast<void>(objServices_.objRun.objMessages.Show(
                kMessageTitle, kStatementAppearedMessage, platform::MessageKind::Information));
        }
        if (objOutcome.result == RunResult::NothingNew && objOutcome.repeats) {
            static_cast<void>(objServices_.objRun.objMessages.Show(
                kMessageTitle, NothingNewMessage(*objOutcome.repeats, Trim(Text(Text1))),
                platform::MessageKind::Information));
        }
        return;
    }
    // The account the statement was made for, the closest name the user took among them, is
    // the box's now that it is saved.
    if (Combo1->currentText().toStdString() != sConverted) {
        Combo1->setEditText(QString::fromStdString(sConverted));
    }
    // The user hears of what the command line would warn of (every transaction left out
    // among it) before the statement goes on to import.
    const std::string sAccount = Trim(sConverted);
    if (const std::string sTidings =
            SavedRunMessage(objOutcome, Trim(Text(Text2)), sAccount, sOLAccntListFile.toStdString(),
                            kLeftOutShown, objServices_.objShowDate);
        !sTidings.empty()) {
        static_cast<void>(objServices_.objRun.objMessages.Show(kMessageTitle, sTidings,
                                                               platform::MessageKind::Information));
    }
    static_cast<void>(HandOffStatement(
        Text(Text1), Text(Text2),
        {objServices_.objRun.objMessages, objServices_.objAssociation, objServices_.objStarter,
         &objServices_.objSettings},
        SavedStatementNote(objOutcome, Trim(Text(Text2)), sAccount, objServices_.objShowDate)));
    close();
}

void frmConvertImport::ShowHelp(const QString& sTopicPath)
{
    QString sFolder = QString::fromStdString(objServices_.objRun.objProgramFolder.Folder());
    if (sFolder.endsWith('/')) {
        sFolder.chop(1);
    }
    objServices_.objHelp.ShowTopic(sFolder + "/nbh.chm::" + sTopicPath);
}

} // namespace qif2ldx::app::gui
