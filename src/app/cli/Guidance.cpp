// SPDX-License-Identifier: MIT
#include "app/cli/Guidance.h"

#include "app/Suggest.h"
#include "app/cli/Wording.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "platform/Utf8.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

namespace qif2ldx::app::cli {
namespace {

// The command a word names; nullptr for none.
const CLI::App* CommandNamed(const CLI::App& objRoot, const std::string& sWord)
{
    const std::vector<const CLI::App*> commands = objRoot.get_subcommands(
        [&sWord](const CLI::App* objCommand) { return objCommand->get_name() == sWord; });
    return commands.empty() ? nullptr : commands.front();
}

// The long names ("--dry-run") of the options a command takes.
std::vector<std::string> LongNames(const CLI::App& objScope)
{
    std::vector<std::string> names;
    for (const CLI::Option* objOption : objScope.get_options()) {
        for (const std::string& sName : objOption->get_lnames()) {
            names.push_back("--" + sName);
        }
    }
    return names;
}

// What an unknown option most likely meant: a slip of a long name, or for "-X" the long name
// that begins with that letter.
std::string Suggestion(const CLI::App& objScope, const std::string& sName)
{
    const std::vector<std::string> names = LongNames(objScope);
    if (sName.size() == 2) {
        const char letter =
            static_cast<char>(std::tolower(static_cast<unsigned char>(sName.at(1))));
        const auto begun = std::find_if(names.begin(), names.end(), [letter](const auto& sLong) {
            return sLong.at(2) == letter;
        });
        return begun == names.end() ? std::string() : *begun;
    }
    return ClosestMatch(names, sName).value_or("");
}

// "qif2ldx history forget": the program and the commands down to objScope.
std::string ProgramAnd(const CLI::App& objScope)
{
    std::vector<std::string> names;
    for (const CLI::App* objCommand = &objScope; objCommand->get_parent() != nullptr;
         objCommand = objCommand->get_parent()) {
        names.push_back(objCommand->get_name());
    }
    std::string sLine(kProgram);
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        sLine += ' ';
        sLine += *name;
    }
    return sLine;
}

} // namespace

std::string FirstArgumentAdvice(int argc, const char* const* argv, const CLI::App& objRoot)
{
    const std::string sConvert = std::string(kProgram) + " convert ";
    if (argc >= 2 && std::string_view(argv[1]) == "-") {
        return "standard input (-) is read by a command: " + sConvert +
               "- --account NAME --output LDX_FILE, or " + kProgram + " show -";
    }
    if (argc < 2 || argv[1][0] == '-' || CommandNamed(objRoot, argv[1]) != nullptr) {
        return {};
    }
    const std::string sTyped = argv[1];
    const std::string sShown = platform::EscapeControls(sTyped);
    if (platform::FileExists(sTyped)) {
        // A file alone is what a file manager passes; it reaches the command line only when
        // there is no display for the dialog.
        return argc == 2 ? "no display to open the dialog on " + sShown +
                               "; to convert it here: " + sConvert + sShown + " --account NAME"
                         : sShown + " is a file, not a command; to convert it: " + sConvert +
                               sShown + " --account NAME";
    }
    if (platform::IsDirectory(sTyped)) {
        return sShown + " is a folder, not a QIF file (to convert a QIF file: " + sConvert +
               "QIF_FILE --account NAME)";
    }
    if (sTyped.find_first_of("./") != std::string::npos) {
        return "no such file: " + sShown + " (to convert a QIF file: " + sConvert +
               "QIF_FILE --account NAME)";
    }
    std::vector<std::string> names;
    for (const CLI::App* objCommand : objRoot.get_subcommands({})) {
        names.push_back(objCommand->get_name());
    }
    std::string sWhy = "unknown command '" + sShown + "'";
    if (const auto sClosest = ClosestMatch(names, sTyped)) {
        sWhy += " (did you mean '" + *sClosest + "'?)";
    }
    return sWhy + "; see " + kProgram + " --help";
}

std::string UnknownOptionAdvice(int argc, const char* const* argv, const CLI::App& objRoot)
{
    const CLI::App* objScope = &objRoot;
    bool bolValueNext = false;
    for (int i = 1; i < argc; ++i) {
        const std::string sArgument = argv[i];
        if (bolValueNext) {
            bolValueNext = false;
            continue;
        }
        if (sArgument == "--") {
            return {}; // the rest are file names
        }
        if (!sArgument.starts_with('-') || sArgument == "-") {
            // A word names a command of the scope (history, then its forget), or is an
            // argument of the scope.
            if (const CLI::App* objCommand = CommandNamed(*objScope, sArgument)) {
                objScope = objCommand;
            } else if (objScope == &objRoot) {
                return {}; // no command: FirstArgumentAdvice or the parser speaks
            }
            continue;
        }
        const bool bolLong = sArgument.starts_with("--");
        const std::size_t equals = sArgument.find('=');
        const std::string sName = bolLong ? sArgument.substr(0, equals) : sArgument.substr(0, 2);
        const CLI::Option* objOption = objScope->get_option_no_throw(sName);
        if (objOption == nullptr) {
            const std::string sShown = platform::EscapeControls(sName);
            const std::string sMeant = Suggestion(*objScope, sName);
            if (!sMeant.empty()) {
                std::string sWhy = sShown + ": did you mean ";
                sWhy += sMeant;
                return sWhy + "?";
            }
            std::string sWhy = "unknown option " + sShown + "; see ";
            sWhy += ProgramAnd(*objScope);
            return sWhy + " --help";
        }
        // An option that takes a value takes the next argument, unless it came with it. A flag
        // takes none: CLI11 gives it a type size of 1 but expects no item of it.
        const bool bolAttached = bolLong ? equals != std::string::npos : sArgument.size() > 2;
        bolValueNext =
            objOption->get_items_expected_min() > 0 && !objOption->get_positional() && !bolAttached;
    }
    return {};
}

std::string HelpHint(int argc, const char* const* argv, const CLI::App& objRoot)
{
    // The deepest command the words name ("history forget"), whose help tells its options.
    const CLI::App* objScope = &objRoot;
    for (int i = 1; i < argc; ++i) {
        if (const CLI::App* objCommand = CommandNamed(*objScope, argv[i])) {
            objScope = objCommand;
        }
    }
    return ProgramAnd(*objScope) + " --help";
}

} // namespace qif2ldx::app::cli
