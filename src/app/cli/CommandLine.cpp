// SPDX-License-Identifier: MIT
#include "app/cli/CommandLine.h"

#include "app/AccountList.h"
#include "app/ConversionRun.h"
#include "app/HandOff.h"
#include "app/MainModule.h"
#include "platform/FileSystem.h"
#include "platform/StderrMessages.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <filesystem>
#include <ostream>

namespace qif2ldx::app::cli {
namespace {

constexpr const char* kProgram = "qif2ldx";

// From this size on (some 400,000 transactions) the statement tree is large enough for the
// process to be set up for it.
constexpr std::uintmax_t kLargeInput = std::uintmax_t{32} << 20;

struct ConvertOptions
{
    std::string sQIFFile;
    std::string sAccount;
    std::string sOutput;
    std::string sAccountList;
    bool bolOverwrite = false;
    bool bolOpen = false;
};

// A bar on the terminal for runs that take longer than a moment.
class ProgressBar
{
public:
    ProgressBar(std::ostream& objErr, bool bolEnabled) : objErr_(objErr), bolEnabled_(bolEnabled) {}
    ~ProgressBar() { Clear(); }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void Show(std::uint64_t lngDone, std::uint64_t lngTotal)
    {
        using namespace std::chrono;
        const auto now = steady_clock::now();
        if (!bolEnabled_ || now - start_ < milliseconds(300) || lngTotal == 0) {
            return;
        }
        constexpr int kWidth = 30;
        const auto filled = static_cast<int>(lngDone * kWidth / lngTotal);
        objErr_ << "\r" << kProgram << ": converting [" << std::string(filled, '#')
                << std::string(kWidth - filled, ' ') << "] " << lngDone * 100 / lngTotal << "%"
                << std::flush;
        drawn_ = true;
    }

    void Clear()
    {
        if (drawn_) {
            objErr_ << "\r" << std::string(60, ' ') << "\r" << std::flush;
            drawn_ = false;
        }
    }

private:
    std::ostream& objErr_;
    bool bolEnabled_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

std::string Plural(std::int64_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The dialog's four checks, worded for a terminal. Empty when the input passes.
std::string Refusal(const ConvertOptions& objOptions, const std::string& sOutput)
{
    const std::string sQIF = Trim(objOptions.sQIFFile);
    if (!platform::IsRegularFile(sQIF)) {
        return "the QIF file does not exist or is not a regular file: " + objOptions.sQIFFile;
    }
    const std::string sLDX = Trim(sOutput);
    if (!IsStatementFileName(sLDX)) {
        return "the statement file must be named *.LDX or *.ldx: " + sOutput;
    }
    if (IsSameFileAsInput(sLDX, sQIF)) {
        return "the statement file is the QIF file itself: " + sLDX;
    }
    if (FileExists(sLDX) && !objOptions.bolOverwrite) {
        return "the statement file already exists (--overwrite replaces it): " + sLDX;
    }
    if (Trim(objOptions.sAccount).empty()) {
        return "the account name is empty";
    }
    return {};
}

int Convert(const ConvertOptions& objOptions, const CommandLineContext& objContext)
{
    std::ostream& err = objContext.objErr;
    const std::string sOutput = objOptions.sOutput.empty()
                                    ? GetPathBeforeExtension(Trim(objOptions.sQIFFile)) + "LDX"
                                    : objOptions.sOutput;
    if (const std::string sWhy = Refusal(objOptions, sOutput); !sWhy.empty()) {
        err << kProgram << ": error: " << sWhy << "\n";
        return kExitRefused;
    }
    const std::string sList = objOptions.sAccountList.empty()
                                  ? DefaultAccountList(objContext.objProgramFolder)
                                  : objOptions.sAccountList;
    if (objContext.objLargeInput) {
        std::error_code ignored;
        const auto size = std::filesystem::file_size(Trim(objOptions.sQIFFile), ignored);
        if (!ignored && size >= kLargeInput) {
            objContext.objLargeInput(size);
        }
    }

    platform::StderrMessages objMessages(err, kProgram);
    ConversionRun objRun(objMessages, objContext.objProgramFolder, objContext.objClock);
    ProgressBar objBar(err, objContext.bolErrIsTerminal);
    bool bolInterrupted = false;
    objRun.SetProgress([&](std::uint64_t lngDone, std::uint64_t lngTotal) {
        if (objContext.objInterrupt != nullptr && objContext.objInterrupt->load() != 0) {
            bolInterrupted = true;
            return false;
        }
        objBar.Show(lngDone, lngTotal);
        return true;
    });
    const ConversionOutcome objOutcome =
        objRun.Run({Trim(objOptions.sQIFFile), Trim(sOutput), objOptions.sAccount, sList});
    objBar.Clear();

    const std::string sName = Trim(objOptions.sAccount);
    if (!objOutcome.bolAccountListRead && objOutcome.cAcctInf.AcctName.empty()) {
        err << kProgram << ": warning: cannot read the account list " << sList
            << "; the statement has empty account fields\n";
    } else if (!objOutcome.bolAccountListRead) {
        err << kProgram << ": warning: the line for account \"" << sName << "\" in " << sList
            << " has fewer than six fields; the missing ones are empty\n";
    } else if (objOutcome.cAcctInf.AcctName.empty()) {
        err << kProgram << ": warning: account \"" << sName << "\" is not in the account list "
            << sList << "; the statement has empty account fields\n";
    }
    if (bolInterrupted) {
        err << kProgram << ": interrupted; the statement was not finished: " << Trim(sOutput)
            << "\n";
        return kExitInterrupted;
    }
    if (!objOutcome.bolConverted) {
        if (!objOutcome.stats.sFailure.empty()) {
            err << kProgram << ": " << objOutcome.stats.sFailure << "\n";
        }
        return kExitFailed;
    }
    const qif::ConversionStatistics& stats = objOutcome.stats;
    if (stats.lngDropped > 0) {
        err << kProgram << ": warning: "
            << Plural(stats.lngDropped, "record without a date or an amount was",
                      "records without a date or an amount were")
            << " not written\n";
    }
    if (stats.bolUnterminatedRecord) {
        err << kProgram << ": warning: the file ends inside a record that no \"^\" closes; "
            << "it was not written\n";
    }
    if (stats.lngWritten == 0) {
        err << kProgram << ": warning: the file holds no transaction with a date and an amount; "
            << "the statement is empty\n";
    }
    objContext.objOut << "Wrote " << Plural(stats.lngWritten, "transaction", "transactions");
    if (!stats.sStartDate.empty()) {
        objContext.objOut << " (" << stats.sStartDate << " to " << stats.sEndDate << ")";
    }
    objContext.objOut << " to " << Trim(sOutput) << "\n";
    if (objOptions.bolOpen) {
        if (objContext.objAssociation == nullptr || objContext.objStarter == nullptr) {
            err << kProgram << ": warning: --open is not available here\n";
        } else {
            static_cast<void>(HandOffStatement(
                objOptions.sQIFFile, sOutput,
                {objMessages, *objContext.objAssociation, *objContext.objStarter, nullptr}));
        }
    }
    return kExitSaved;
}

int ListAccounts(const std::string& sAccountList, const CommandLineContext& objContext)
{
    const std::string sList =
        sAccountList.empty() ? DefaultAccountList(objContext.objProgramFolder) : sAccountList;
    const AccountNames objNames = ReadAccountNames(sList);
    for (const std::string& sName : objNames.names) {
        objContext.objOut << sName << "\n";
    }
    if (!objNames.bolComplete) {
        objContext.objErr << kProgram << ": error: cannot read the account list " << sList
                          << (objNames.names.empty() ? "" : " past a line without a comma") << "\n";
        return kExitFailed;
    }
    return kExitSaved;
}

} // namespace

int RunCommandLine(int argc, const char* const* argv, const CommandLineContext& objContext)
{
    CLI::App app{"Converts a QIF bank or credit-card file into an OFX statement file (.LDX) for "
                 "Lodestrand.\nWithout arguments, opens the \"Import Bank Statement\" dialog.",
                 kProgram};
    app.set_version_flag("--version", std::string(kProgram) + " " + QIF2LDX_VERSION);
    app.require_subcommand(1);

    ConvertOptions objOptions;
    CLI::App* convert = app.add_subcommand("convert", "Convert a QIF file into a statement file");
    convert->add_option("QIF_FILE", objOptions.sQIFFile, "The QIF file to convert")->required();
    convert
        ->add_option("--account,-a", objOptions.sAccount,
                     "Name of the Lodestrand account, as in the account list")
        ->required();
    convert->add_option("--output,-o", objOptions.sOutput,
                        "The statement file to write (default: the QIF path with .LDX)");
    convert->add_option("--account-list", objOptions.sAccountList,
                        "The account list (default: olacclst.dat beside the program)");
    convert->add_flag("--overwrite", objOptions.bolOverwrite, "Replace an existing statement file");
    convert->add_flag("--open", objOptions.bolOpen,
                      "Open the statement in the program associated with .LDX files");
    convert->footer("Exit status: 0 saved, 1 conversion failed, 2 input refused or usage error, "
                    "130 interrupted.");

    std::string sAccountList;
    CLI::App* accounts = app.add_subcommand("accounts", "List the account names the dialog offers");
    accounts->add_option("--account-list", sAccountList,
                         "The account list (default: olacclst.dat beside the program)");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error, objContext.objOut, objContext.objErr);
        return code == 0 ? kExitSaved : kExitRefused;
    }
    if (convert->parsed()) {
        return Convert(objOptions, objContext);
    }
    return ListAccounts(sAccountList, objContext);
}

} // namespace qif2ldx::app::cli
