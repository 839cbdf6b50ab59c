// SPDX-License-Identifier: MIT
#include "app/cli/CommandLine.h"

#include "app/AccountList.h"
#include "app/StartMode.h"
#include "app/cli/ConvertCommand.h"
#include "platform/FileSystem.h"

#include <CLI/CLI.hpp>
#include <ostream>

namespace qif2ldx::app::cli {
namespace {

constexpr const char* kAccountListHelp =
    "The account list (default: ~/.config/qif2ldx/olacclst.dat when it exists, else "
    "olacclst.dat beside the program)";

int ListAccounts(const std::string& sAccountList, const CommandLineContext& objContext)
{
    const std::string sList =
        ResolveAccountList(sAccountList, objContext.objProgramFolder, objContext.objEnvironment);
    const AccountNames objNames = ReadAccountNames(sList);
    for (const std::string& sName : objNames.names) {
        objContext.objOut << sName << "\n";
    }
    if (!objNames.bolComplete) {
        objContext.objErr << kProgram << ": error: cannot read the account list " << sList
                          << (objNames.names.empty() ? "" : " past a line without a comma") << "\n";
        return kExitFailed;
    }
    objContext.objErr << kProgram << ": accounts from " << sList << "\n";
    return kExitSaved;
}

int Dispatch(int argc, const char* const* argv, const CommandLineContext& objContext)
{
    CLI::App app{"Converts a QIF bank or credit-card file into an OFX statement file (.LDX) for "
                 "Lodestrand.\nWithout arguments, opens the \"Import Bank Statement\" dialog.",
                 kProgram};
    app.set_version_flag("--version", std::string(kProgram) + " " + QIF2LDX_VERSION);
    app.require_subcommand(1);

    ConvertOptions objOptions;
    CLI::App* convert =
        app.add_subcommand(kConvertCommand, "Convert a QIF file into a statement file");
    convert->add_option("QIF_FILE", objOptions.sQIFFile, "The QIF file to convert")->required();
    convert
        ->add_option("--account,-a", objOptions.sAccount,
                     "Name of the Lodestrand account, as in the account list")
        ->required();
    convert->add_option("--output,-o", objOptions.sOutput,
                        "The statement file to write (default: the QIF path with .LDX)");
    convert->add_option("--account-list", objOptions.sAccountList, kAccountListHelp);
    convert->add_flag("--overwrite", objOptions.bolOverwrite, "Replace an existing statement file");
    convert->add_flag("--open", objOptions.bolOpen,
                      "Open the statement in the program associated with .LDX files");
    convert
        ->add_option("--date-order", objOptions.sDateOrder,
                     "How dates are read: auto (day first, or the order the file shows when day "
                     "first reads some date as no real day), dmy, mdy or ymd")
        ->check(
            CLI::IsMember(std::vector<std::string>(std::begin(kDateOrders), std::end(kDateOrders))))
        ->capture_default_str();
    convert->footer("Exit status: 0 saved, 1 conversion failed, 2 input refused or usage error, "
                    "130 interrupted.");

    std::string sAccountList;
    CLI::App* accounts =
        app.add_subcommand(kAccountsCommand, "List the account names the dialog offers");
    accounts->add_option("--account-list", sAccountList, kAccountListHelp);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // A file alone is what a file manager passes; without a display it lands here.
        if (argc == 2 && platform::FileExists(argv[1])) {
            objContext.objErr << kProgram << ": error: no display to open the dialog on " << argv[1]
                              << "; to convert it here: " << kProgram << " convert " << argv[1]
                              << " --account NAME\n";
            return kExitRefused;
        }
        const int code = app.exit(error, objContext.objOut, objContext.objErr);
        return code == 0 ? kExitSaved : kExitRefused;
    }
    if (convert->parsed()) {
        return RunConvert(objOptions, objContext);
    }
    return ListAccounts(sAccountList, objContext);
}

} // namespace

int RunCommandLine(int argc, const char* const* argv, const CommandLineContext& objContext)
{
    const int status = Dispatch(argc, argv, objContext);
    // A result that could not be written (a full disk, a closed pipe) is no success.
    objContext.objOut.flush();
    if (!objContext.objOut) {
        objContext.objErr << kProgram
                          << ": error: the results could not be written to standard "
                             "output\n";
        return status == kExitSaved ? kExitFailed : status;
    }
    return status;
}

} // namespace qif2ldx::app::cli
