// SPDX-License-Identifier: MIT
#include "app/cli/ConvertCommand.h"

#include "app/AccountList.h"
#include "app/ConversionRun.h"
#include "app/HandOff.h"
#include "app/InputCheck.h"
#include "app/MainModule.h"
#include "app/ReasonWords.h"
#include "app/Receipt.h"
#include "app/cli/FileReceipt.h"
#include "app/cli/HistoryOptions.h"
#include "app/cli/Options.h"
#include "app/cli/ProgressBar.h"
#include "app/cli/StandardStreams.h"
#include "app/cli/Wording.h"
#include "platform/FileSystem.h"
#include "platform/PrivateFolder.h"
#include "platform/StderrMessages.h"
#include "platform/Utf8.h"
#include "statement/StatementProfile.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <ostream>

namespace qif2ldx::app::cli {
namespace {

// The left-out records a terminal receipt lists; the JSON receipt lists all.
constexpr std::size_t kMaxListedLeftOut = 20;

std::string BadStatementNameReason(const std::string& sOutput)
{
    return "the statement file must be named *.LDX or *.ldx: " + platform::EscapeControls(sOutput);
}

// The input checks, worded for a terminal. Empty when the input passes.
std::string Refusal(const std::string& sQIF, const std::string& sOutput,
                    const ConvertOptions& objOptions, bool bolMayReplace)
{
    switch (CheckConversionInput(sQIF, sOutput, objOptions.sAccount, bolMayReplace)) {
    case InputCheck::Passed:
        return {};
    case InputCheck::QifNotAFile:
        return QifNotAFileReason(sQIF);
    case InputCheck::QifTooLarge:
        return QifTooLargeReason(sQIF);
    case InputCheck::BadStatementName:
        return BadStatementNameReason(sOutput);
    case InputCheck::StatementIsQif:
        return "the statement file is the QIF file itself: " +
               platform::EscapeControls(Trim(sOutput));
    case InputCheck::StatementExists:
        return StatementExistsReason(Trim(sOutput));
    case InputCheck::NoAccount:
        return "the account name is empty";
    }
    return {};
}

// What the options say of the call as a whole; empty when they fit together.
std::string OptionsRefusal(const ConvertOptions& objOptions)
{
    const auto& files = objOptions.qifFiles;
    const auto stream = std::find_if(files.begin(), files.end(), IsStream);
    if (files.size() > 1 && !objOptions.sOutput.empty()) {
        return "--output names one statement; for several QIF files use --output-dir";
    }
    if (!objOptions.sOutput.empty() && !objOptions.sOutputDir.empty()) {
        return "--output and --output-dir cannot be used together";
    }
    // A stream has no name to give its statement; beside /dev/fd/63 is nowhere to put one.
    if (stream != files.end() && objOptions.sOutput.empty()) {
        return *stream == "-" ? "a QIF file read from standard input (-) needs --output"
                              : "a QIF file read from a pipe (" + *stream + ") needs --output";
    }
    if (objOptions.sOutput == "-" && objOptions.bolOpen) {
        return "--open needs a statement file, not standard output";
    }
    if (objOptions.sOutput == "-" && objOptions.bolJson) {
        return "--json writes to standard output, which --output - takes for the statement";
    }
    if (statement::FindProfile(objOptions.sProfile) == nullptr) {
        return "there is no profile named " + objOptions.sProfile;
    }
    if (!objOptions.sOutputDir.empty() && !platform::IsDirectory(objOptions.sOutputDir)) {
        return (platform::FileExists(objOptions.sOutputDir)
                    ? "--output-dir names a file, not a folder: "
                    : "the output folder does not exist: ") +
               platform::EscapeControls(objOptions.sOutputDir);
    }
    return {};
}

// The statement path for one QIF file: --output, else the QIF path with .LDX, in the
// --output-dir folder when one is given.
std::string StatementFor(const std::string& sQIF, const ConvertOptions& objOptions)
{
    if (!objOptions.sOutput.empty()) {
        return objOptions.sOutput;
    }
    std::string sBeside = GetPathBeforeExtension(Trim(sQIF)) + "LDX";
    if (objOptions.sOutputDir.empty()) {
        return sBeside;
    }
    const std::size_t slash = sBeside.rfind('/');
    const std::string sName = slash == std::string::npos ? sBeside : sBeside.substr(slash + 1);
    std::string sFolder = objOptions.sOutputDir;
    if (sFolder.back() != '/') {
        sFolder += '/';
    }
    return sFolder + sName;
}

// sWhose: the file's name and ": " before its notes when a call converts several.
ConversionOutcome RunWithProgress(const ConversionInput& objInput, const ConvertOptions& objOptions,
                                  platform::IMessages& objMessages,
                                  const CommandLineContext& objContext, KeptHistory& objHistory,
                                  const std::string& sWhose)
{
    ConversionRun objRun(objMessages, objContext.objProgramFolder, objContext.objClock);
    qif::ConversionOptions objConversion;
    objConversion.bolReplace = objOptions.bolOverwrite;
    objConversion.bolPlace = !objOptions.bolDryRun;
    objConversion.dateOrder = DateOrderOption(objOptions.sDateOrder);
    objConversion.objProfile = statement::FindProfile(objOptions.sProfile);
    objConversion.sQifAccount = objOptions.sQifAccount;
    if (objOptions.sOutput == "-") {
        objConversion.objDeliver = DeliverTo(objContext.objOut);
    }
    objRun.SetOptions(objConversion);
    // Nobody is asked on a terminal: the order kept for the account, or the file's, is taken.
    const DateOrderMemory objMemory(&objHistory);
    objRun.SetDateOrderMemory(&objMemory);
    objRun.SetChooseDateOrder(
        ChooseUnasked(objContext.objErr, LocaleDateOrder(objContext.objEnvironment), sWhose));
    objRun.SetHistory(&objHistory, RepeatsOption(objOptions.sRepeats));
    ProgressBar objBar(objContext.objErr, objContext.bolErrIsTerminal);
    objRun.SetProgress([&](std::uint64_t done, std::uint64_t total) {
        if (objContext.objInterrupt != nullptr && objContext.objInterrupt->load() != 0) {
            return false;
        }
        objBar.Show(done, total);
        return true;
    });
    return objRun.Run(objInput);
}

int StatusOf(const ConversionOutcome& objOutcome)
{
    if (objOutcome.failure.kind == qif::FailureKind::UnknownQifAccount) {
        return kExitRefused; // --qif-account names no account of the file
    }
    switch (objOutcome.result) {
    case RunResult::Saved:
        return kExitSaved;
    case RunResult::Refused:
    case RunResult::Unreadable:
        return kExitRefused;
    case RunResult::Interrupted:
        return kExitInterrupted;
    case RunResult::Failed:
        // A file that grew past the limit after the input check is refused all the same.
        return objOutcome.failure.kind == qif::FailureKind::TooLarge ? kExitRefused : kExitFailed;
    case RunResult::Cancelled:
    case RunResult::NothingNew:
    case RunResult::Aborted:
        break;
    }
    return kExitFailed;
}

// Says on stderr how a run that did not save its statement ended, and keeps it in the receipt.
// sWhose: the file's name and ": " when a call converts several, for a message without it.
void TellOutcome(FileReceipt& receipt, const std::string& sStatement, const std::string& sWhose,
                 std::ostream& err)
{
    switch (receipt.outcome.result) {
    case RunResult::Interrupted:
        receipt.sReason =
            "interrupted; the statement was not finished: " + platform::EscapeControls(sStatement);
        err << kProgram << ": error: " << receipt.sReason << "\n";
        break;
    case RunResult::Refused:
        receipt.sReason = StatementExistsReason(sStatement);
        err << kProgram << ": error: " << receipt.sReason << "\n";
        break;
    case RunResult::Unreadable:
    case RunResult::Failed:
    case RunResult::Cancelled:
    case RunResult::NothingNew:
    case RunResult::Aborted:
        receipt.sReason = receipt.outcome.sReason.empty() ? std::string("the conversion failed")
                                                          : receipt.outcome.sReason;
        // Where the QIF file is not at fault, the conversion-failure message named the cause; a
        // QIF account the file does not hold, and a file with nothing new, are told without it.
        if (!receipt.outcome.sReason.empty() &&
            (IsFaultOfQif(receipt.outcome.failure) ||
             receipt.outcome.failure.kind == qif::FailureKind::UnknownQifAccount ||
             receipt.outcome.result == RunResult::NothingNew)) {
            const bool bolNamesNoFile =
                receipt.outcome.failure.kind == qif::FailureKind::UnknownQifAccount;
            err << kProgram << ": error: " << (bolNamesNoFile ? sWhose : std::string())
                << receipt.outcome.sReason << "\n";
        }
        break;
    case RunResult::Saved:
        break;
    }
}

// Where a run builds its statement: beside the statement path for a run that will put it there;
// otherwise (a dry run, or one to standard output) in a private folder of its own, so that it
// neither needs nor touches anything beside the path. Empty, after telling why, when there is
// no such folder.
std::string BuildPath(const FileReceipt& receipt, std::optional<platform::PrivateFolder>& folder,
                      std::ostream& err)
{
    const bool bolStdout = receipt.sStatement == "-";
    if (!bolStdout && !receipt.bolDryRun) {
        return Trim(receipt.sStatement);
    }
    platform::PrivateFolder::Made made = platform::PrivateFolder::Make();
    if (!made.folder) {
        err << kProgram << ": error: no private folder can be made in "
            << platform::EscapeControls(platform::TemporaryFolder()) << ": "
            << ReasonWords(made.reason) << "\n";
        return {};
    }
    folder.emplace(std::move(*made.folder));
    const std::string sPath = Trim(receipt.sStatement);
    const std::string sName =
        bolStdout ? std::string("standard-output.LDX") : sPath.substr(GetFolderPath(sPath).size());
    return folder->Path() + "/" + sName;
}

// A dry run into a folder the real run could not write to says so.
void WarnUnwritable(const std::string& sStatement, std::ostream& err)
{
    const std::string sFolder = GetFolderPath(sStatement);
    if (const platform::Done writable = platform::CanWriteIn(sFolder); !writable) {
        err << kProgram << ": warning: the real run could not write to "
            << platform::EscapeControls(sFolder.empty() ? std::string(".") : sFolder) << ": "
            << ReasonWords(writable.reason) << "\n";
    }
}

// Converts one QIF file, saying on stderr what goes wrong as it goes.
FileReceipt ConvertOne(const std::string& sQIF, const ConvertOptions& objOptions,
                       const CommandLineContext& objContext, KeptHistory& objHistory)
{
    std::ostream& err = objContext.objErr;
    FileReceipt receipt;
    receipt.sQIF = sQIF;
    receipt.sStatement = StatementFor(sQIF, objOptions);
    receipt.sAccount = Trim(objOptions.sAccount);
    receipt.bolDryRun = objOptions.bolDryRun;
    receipt.bolMayReplace = objOptions.bolOverwrite;
    receipt.bolRan = false;
    receipt.status = kExitRefused;
    const bool bolStdout = receipt.sStatement == "-";
    const bool bolWrites = !bolStdout && !objOptions.bolDryRun; // puts a file at the path
    // A stream is read only for a statement name that will be taken. (The checks on the QIF
    // file itself are for the copy of the stream, once it is read.)
    if (!bolStdout && IsStream(sQIF) && !IsStatementFileName(Trim(receipt.sStatement))) {
        receipt.sReason = BadStatementNameReason(receipt.sStatement);
        err << kProgram << ": error: " << receipt.sReason << "\n";
        return receipt;
    }
    std::optional<platform::PrivateFolder> folder;
    const std::string sBuilt = BuildPath(receipt, folder, err);
    if (sBuilt.empty()) {
        receipt.status = kExitFailed;
        return receipt;
    }
    const CommandInput input = OpenCommandInput(sQIF, sBuilt, "the QIF file", objContext);
    receipt.sReason = input.sReason;
    if (receipt.sReason.empty()) {
        // Nothing is replaced on the way to standard output.
        // A dry run replaces nothing either: it says what it would replace.
        receipt.sReason = Refusal(input.sPath, bolStdout ? sBuilt : receipt.sStatement, objOptions,
                                  objOptions.bolOverwrite || bolStdout || objOptions.bolDryRun);
        receipt.bolReplaces = !bolStdout && FileExists(Trim(receipt.sStatement));
    }
    if (!receipt.sReason.empty()) {
        err << kProgram << ": error: " << receipt.sReason << "\n";
        receipt.status = input.bolInterrupted ? kExitInterrupted
                         : input.bolUnkept    ? kExitFailed
                                              : kExitRefused;
        return receipt;
    }
    if (bolWrites) {
        RemoveStaleCopies(sBuilt); // what runs killed while reading a stream left; never ours
    }
    if (objOptions.bolDryRun && !bolStdout) {
        WarnUnwritable(Trim(receipt.sStatement), err);
    }
    receipt.bolRan = true;
    const std::string sList = ResolveAccountList(
        objOptions.sAccountList, objContext.objProgramFolder, objContext.objEnvironment);
    platform::StderrMessages objMessages(err, kProgram, "error: ");
    // Among several files, each warning and note says whose it is.
    const std::string sWhose =
        objOptions.qifFiles.size() > 1 ? platform::EscapeControls(sQIF) + ": " : std::string();
    receipt.outcome = RunWithProgress({.sQIFFilePath = Trim(input.sPath),
                                       .sLDXFilePath = sBuilt,
                                       .sAcctName = objOptions.sAccount,
                                       .sOLAccntListFile = sList,
                                       .sQIFName = input.spool ? input.sName : ""},
                                      objOptions, objMessages, objContext, objHistory, sWhose);
    receipt.status = StatusOf(receipt.outcome);
    receipt.warnings = RunWarnings(receipt.outcome, Trim(objOptions.sAccount), sList,
                                   objContext.objShowDate ? objContext.objShowDate : IsoDate);
    for (const std::string& sWarning : receipt.warnings) {
        err << kProgram << ": warning: " << sWhose << sWarning << "\n";
    }
    TellHistory(receipt, input.sName, objOptions.sProfile == "lodestrand",
                objContext.objShowDate ? objContext.objShowDate : IsoDate, sWhose, err,
                !objOptions.bolDryRun);
    TellOutcome(receipt, bolStdout ? sBuilt : Trim(receipt.sStatement), sWhose, err);
    return receipt;
}

// The human receipt of a saved (or checked) statement.
void PrintReceipt(const FileReceipt& receipt, const std::string& sAccountName, std::ostream& out,
                  const DateShower& objShowDate)
{
    const std::string sName =
        receipt.sStatement == "-" ? std::string("standard output") : Trim(receipt.sStatement);
    out << SummaryLine(receipt.outcome, sName, sAccountName, receipt.bolDryRun, objShowDate)
        << "\n";
    if (receipt.bolDryRun && receipt.bolReplaces) {
        out << "It would replace the statement file there"
            << (receipt.bolMayReplace ? "" : ", which needs --overwrite") << ".\n";
    }
    out << ReceiptDetailLines(receipt.outcome.report, kMaxListedLeftOut);
}

void PrintTotal(const std::vector<FileReceipt>& receipts, std::ostream& out)
{
    const ReceiptCounts counts = CountReceipts(receipts);
    out << "Total: " << counts.written << " of " << counts.records << " records from "
        << counts.done << " of " << receipts.size() << " files";
    std::string sOthers;
    for (const auto& [count, sWord] :
         {std::pair{counts.refused, "refused"}, std::pair{counts.failed, "failed"},
          std::pair{counts.interrupted, "interrupted"}}) {
        if (count > 0) {
            sOthers += (sOthers.empty() ? "; " : ", ") + std::to_string(count) + " " + sWord;
        }
    }
    out << sOthers << ".\n";
}

void HandOff(const FileReceipt& receipt, const CommandLineContext& objContext)
{
    if (objContext.objAssociation == nullptr || objContext.objStarter == nullptr) {
        objContext.objErr << kProgram << ": warning: --open is not available here\n";
        return;
    }
    // The statement is saved; only its opening failed.
    platform::StderrMessages objMessages(objContext.objErr, kProgram, "warning: ");
    static_cast<void>(HandOffStatement(
        receipt.sQIF, receipt.sStatement,
        {objMessages, *objContext.objAssociation, *objContext.objStarter, nullptr}));
}

// For the Lodestrand statement, what other OFX readers would misread in it; empty when nothing.
std::string ProfileNote(const qif::ReadReport& report, const ConvertOptions& objOptions)
{
    if (objOptions.sProfile != "lodestrand") {
        return {};
    }
    const char* sWhat = report.written == 0 ? "an empty statement's dates"
                        : report.amounts.HasThousandsSeparators()
                            ? "amounts with thousands separators"
                            : nullptr;
    if (sWhat == nullptr) {
        return {};
    }
    return std::string("OFX readers other than Lodestrand misread ") + sWhat +
           "; --profile portable writes a statement they read right";
}

// An account name the list does not hold that the words after it complete to one it does (the
// longest such): a name with blanks typed without quotes. What to say; empty otherwise.
std::string SplitNameRefusal(const std::string& sAccount, const std::vector<std::string>& words,
                             const std::string& sList)
{
    records::CAcctInfo cAcctInf;
    if (words.empty() || LookUpAccount(sList, sAccount, cAcctInf) != AccountLookup::NotListed) {
        return {};
    }
    const std::vector<std::string> names = ReadAccountNames(sList).names;
    std::string sJoined = Trim(sAccount);
    std::string sMeant;
    for (const std::string& sWord : words) {
        sJoined += " " + sWord;
        if (std::find(names.begin(), names.end(), sJoined) != names.end()) {
            sMeant = sJoined;
        }
    }
    if (sMeant.empty()) {
        return {};
    }
    return "account \"" + platform::EscapeControls(Trim(sAccount)) +
           "\" is not in the account list " + platform::EscapeControls(sList) +
           "; did you mean -a \"" + platform::EscapeControls(sMeant) +
           "\"? (quote names with blanks)";
}

} // namespace

std::vector<std::string> ConvertCommand::WordsAfterAccount() const
{
    // The parser records every value in the order given, so the files that follow the account
    // are the QIF_FILE entries right after its last one.
    std::vector<std::string> words;
    std::size_t files = 0;
    bool bolFollowing = false;
    for (const CLI::Option* objOption : objCommand_->parse_order()) {
        if (objOption == objAccount_) {
            words.clear();
            bolFollowing = true;
        } else if (objOption == objFiles_) {
            if (bolFollowing && files < options_.qifFiles.size()) {
                words.push_back(options_.qifFiles.at(files));
            }
            ++files;
        } else {
            bolFollowing = false;
        }
    }
    return words;
}

void ConvertCommand::AddOptions(CLI::App& objCommand)
{
    objCommand_ = &objCommand;
    objFiles_ = objCommand
                    .add_option("QIF_FILE", options_.qifFiles,
                                "The QIF files to convert; - reads one from standard input")
                    ->required();
    objAccount_ = objCommand
                      .add_option("--account,-a", options_.sAccount,
                                  "Name of the Lodestrand account, as in the account list")
                      ->required();
    objCommand.add_option("--output,-o", options_.sOutput,
                          "The statement file to write (default: the QIF path with .LDX); - "
                          "writes it to standard output");
    objCommand.add_option("--output-dir", options_.sOutputDir,
                          "The folder to write the statements to, each named after its QIF file");
    AddAccountListOption(objCommand, options_.sAccountList);
    objCommand.add_flag("--overwrite", options_.bolOverwrite, "Replace an existing statement file");
    objCommand.add_flag("--open", options_.bolOpen,
                        "Open the statement in the program associated with .LDX files");
    AddDateOrderOption(objCommand, options_.sDateOrder,
                       "How dates are read: auto (day first, or the order the file shows when day "
                       "first reads some date as no real day; a file that reads two ways in the "
                       "order kept for the account, else the one the locale writes dates in), "
                       "dmy, mdy or ymd (every date that way)");
    AddProfileOption(objCommand, options_.sProfile);
    objQifAccount_ = AddQifAccountOption(objCommand, sQifAccount_);
    AddHistoryOptions(objCommand, options_.sRepeats, options_.bolNoHistory);
    objCommand.add_flag("--json", options_.bolJson,
                        "Write the receipt as one JSON object on standard output");
    objCommand.add_flag("--dry-run", options_.bolDryRun,
                        "Build and check the statement, print the receipt, and write nothing");
    objCommand.footer("Exit status: 0 saved (for --dry-run: every check passed), 1 failed after "
                      "reading (or nothing new under --repeats skip), 2 refused before anything "
                      "was written, 130 interrupted; for several files, the highest of "
                      "theirs.\n\n"
                      "Examples:\n"
                      "  qif2ldx convert May.qif -a \"Everyday Current\" --open\n"
                      "  qif2ldx convert May.qif -a Savings --dry-run --json\n"
                      "  curl -s https://bank.example/May.qif | qif2ldx convert - -a Savings -o "
                      "May.LDX");
}

int ConvertCommand::Run(const CommandLineContext& objContext)
{
    options_.sQifAccount = QifAccountOption(objQifAccount_, sQifAccount_);
    const ConvertOptions& objOptions = options_;
    const std::string sList = ResolveAccountList(
        objOptions.sAccountList, objContext.objProgramFolder, objContext.objEnvironment);
    std::string sWhy = OptionsRefusal(objOptions);
    if (sWhy.empty()) {
        sWhy = SplitNameRefusal(objOptions.sAccount, WordsAfterAccount(), sList);
    }
    if (!sWhy.empty()) {
        objContext.objErr << kProgram << ": error: " << sWhy << "\n";
        return kExitRefused;
    }
    std::vector<FileReceipt> receipts;
    int status = kExitSaved;
    const bool bolStdout = objOptions.sOutput == "-";
    std::ostream& objReceiptOut = bolStdout ? objContext.objErr : objContext.objOut;
    const DateShower objShowDate = objContext.objShowDate ? objContext.objShowDate : IsoDate;
    // One history for the whole call: each file sees the statements of the files before it.
    KeptHistory objHistory =
        UserHistory(objContext.objEnvironment, objOptions.bolNoHistory ? HistoryUse::Off
                                               : objOptions.bolDryRun  ? HistoryUse::Read
                                                                       : HistoryUse::Record);
    for (const std::string& sQIF : objOptions.qifFiles) {
        receipts.push_back(ConvertOne(sQIF, objOptions, objContext, objHistory));
        FileReceipt& receipt = receipts.back();
        if (receipt.status == kExitSaved) {
            if (std::string sNote = ProfileNote(receipt.outcome.report, objOptions);
                !sNote.empty()) {
                receipt.notes.push_back(std::move(sNote));
            }
        }
        status = std::max(status, receipt.status);
        if (receipt.status == kExitSaved && !objOptions.bolJson) {
            PrintReceipt(receipt, Trim(objOptions.sAccount), objReceiptOut, objShowDate);
        }
        // A statement written to a file is for Lodestrand; one on standard output may go
        // anywhere, so only there is the note worth a line on the terminal.
        if (bolStdout && !receipt.notes.empty()) {
            objContext.objErr << kProgram << ": note: " << receipt.notes.front() << "\n";
        }
        if (receipt.status == kExitSaved && objOptions.bolOpen && !objOptions.bolDryRun) {
            HandOff(receipt, objContext);
        }
        if (receipt.status == kExitInterrupted) {
            break; // the user asked to stop: the files after it are not converted
        }
    }
    if (objOptions.bolJson) {
        objContext.objOut << ReceiptsJson(receipts);
    } else if (objOptions.qifFiles.size() > 1) {
        PrintTotal(receipts, objReceiptOut);
    }
    return status;
}

} // namespace qif2ldx::app::cli
