// SPDX-License-Identifier: MIT
#include "app/cli/CommandLine.h"

#include "app/AccountList.h"
#include "app/StartMode.h"
#include "app/Suggest.h"
#include "app/cli/CheckCommand.h"
#include "app/cli/ConvertCommand.h"
#include "app/cli/ShowCommand.h"
#include "platform/FileSystem.h"

#include <CLI/CLI.hpp>
#include <algorithm>
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

// The first argument names a command that does not exist: what to say, with the command
// meant when it looks like a slip. Empty otherwise.
std::string UnknownCommand(const CLI::App& app, int argc, const char* const* argv)
{
    // A file alone is no command: it is what a file manager passes (see the parse below).
    if (argc < 2 || argv[1][0] == '-' || (argc == 2 && platform::FileExists(argv[1]))) {
        return {};
    }
    const std::string sTyped = argv[1];
    std::vector<std::string> names;
    for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
        names.push_back(command->get_name());
    }
    if (std::find(names.begin(), names.end(), sTyped) != names.end()) {
        return {};
    }
    std::string sWhy = "unknown command '" + sTyped + "'";
    if (const auto sClosest = ClosestMatch(names, sTyped)) {
        sWhy += " (did you mean '" + *sClosest + "'?)";
    }
    return sWhy + "; see " + kProgram + " --help";
}

// One of a fixed set of values, the default shown in the help.
template <std::size_t N> CLI::Option* OneOf(CLI::Option* option, const char* const (&values)[N])
{
    return option
        ->check(CLI::IsMember(std::vector<std::string>(std::begin(values), std::end(values))))
        ->capture_default_str();
}

CLI::App* AddConvert(CLI::App& app, ConvertOptions& objOptions)
{
    CLI::App* convert =
        app.add_subcommand(kConvertCommand, "Convert QIF files into statement files, one each");
    convert
        ->add_option("QIF_FILE", objOptions.qifFiles,
                     "The QIF files to convert; - reads one from standard input")
        ->required();
    convert
        ->add_option("--account,-a", objOptions.sAccount,
                     "Name of the Lodestrand account, as in the account list")
        ->required();
    convert->add_option("--output,-o", objOptions.sOutput,
                        "The statement file to write (default: the QIF path with .LDX); - writes "
                        "it to standard output");
    convert->add_option("--output-dir", objOptions.sOutputDir,
                        "The folder to write the statements to, each named after its QIF file");
    convert->add_option("--account-list", objOptions.sAccountList, kAccountListHelp);
    convert->add_flag("--overwrite", objOptions.bolOverwrite, "Replace an existing statement file");
    convert->add_flag("--open", objOptions.bolOpen,
                      "Open the statement in the program associated with .LDX files");
    OneOf(convert->add_option("--date-order", objOptions.sDateOrder,
                              "How dates are read: auto (day first, or the order the file shows "
                              "when day first reads some date as no real day), dmy, mdy or ymd"),
          kDateOrders);
    OneOf(convert->add_option("--profile", objOptions.sProfile,
                              "The statement's form: lodestrand (what Lodestrand reads) or "
                              "portable (what other OFX readers read right)"),
          kProfiles);
    convert->add_flag("--json", objOptions.bolJson,
                      "Write the receipt as one JSON object on standard output");
    convert->add_flag("--dry-run", objOptions.bolDryRun,
                      "Build and check the statement, print the receipt, and write nothing");
    convert->footer("Exit status: 0 saved, 1 conversion failed, 2 input refused or usage error, "
                    "130 interrupted; for several files, the highest of theirs.");
    return convert;
}

CLI::App* AddShow(CLI::App& app, ShowOptions& objShow)
{
    CLI::App* show = app.add_subcommand(
        "show", "Preview the transactions a QIF file holds, and the records left out");
    show->add_option("QIF_FILE", objShow.sQIFFile, "The QIF file to show")->required();
    OneOf(
        show->add_option("--date-order", objShow.sDateOrder, "How dates are read, as for convert"),
        kDateOrders);
    return show;
}

CLI::App* AddCheck(CLI::App& app, CheckOptions& objCheck)
{
    CLI::App* check = app.add_subcommand(
        "check", "List what other OFX readers would misread in a statement file");
    check->add_option("FILE", objCheck.sFile, "The statement to check (.LDX, .ofx, .qfx)")
        ->required();
    check->add_flag("--json", objCheck.bolJson, "Print one JSON object instead of lines");
    check->footer("Exit status: 0 nothing found, 1 hazards found, 2 unreadable, not OFX or not "
                  "enough memory, 130 interrupted.");
    return check;
}

int Dispatch(int argc, const char* const* argv, const CommandLineContext& objContext)
{
    CLI::App app{"Converts a QIF bank or credit-card file into an OFX statement file (.LDX) for "
                 "Lodestrand.\nWithout arguments, opens the \"Import Bank Statement\" dialog.",
                 kProgram};
    app.set_version_flag("--version", std::string(kProgram) + " " + QIF2LDX_VERSION);
    app.require_subcommand(1);
    ConvertOptions objOptions;
    const CLI::App* convert = AddConvert(app, objOptions);
    ShowOptions objShow;
    const CLI::App* show = AddShow(app, objShow);
    CheckOptions objCheck;
    const CLI::App* check = AddCheck(app, objCheck);
    std::string sAccountList;
    CLI::App* accounts =
        app.add_subcommand(kAccountsCommand, "List the account names the dialog offers");
    accounts->add_option("--account-list", sAccountList, kAccountListHelp);

    if (const std::string sWhy = UnknownCommand(app, argc, argv); !sWhy.empty()) {
        objContext.objErr << kProgram << ": error: " << sWhy << "\n";
        return kExitRefused;
    }
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
    if (show->parsed()) {
        return RunShow(objShow, objContext);
    }
    if (check->parsed()) {
        return RunCheck(objCheck, objContext);
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
