// SPDX-License-Identifier: MIT
// No arguments, or one file to open: the dialog; other arguments: the command line.
#include "app/HandOff.h"
#include "app/MainModule.h"
#include "app/Receipt.h"
#include "app/StartMode.h"
#include "app/cli/CommandLine.h"
#include "app/cli/CommandTable.h"
#include "platform/DesktopServices.h"
#include "platform/ExecutableFolder.h"
#include "platform/File.h"
#include "platform/Interrupts.h"
#include "platform/ProcessEnvironment.h"
#include "platform/SystemClock.h"
#include "platform/Terminal.h"

#include <algorithm>
#include <dlfcn.h>
#include <iostream>
#include <unistd.h>

namespace {

// The dialog lives in a module beside the executable, so that the command line never loads Qt.
int RunDialog(int argc, char** argv)
{
    const qif2ldx::platform::ExecutableFolder objFolder;
    const std::string sModule = qif2ldx::app::AppPath(objFolder) + "libqif2ldx-dialog.so";
    void* module = ::dlopen(sModule.c_str(), RTLD_NOW | RTLD_LOCAL);
    using RunDialogFunction = int (*)(int, char**);
    auto* run = module == nullptr
                    ? nullptr
                    : reinterpret_cast<RunDialogFunction>(::dlsym(module, "qif2ldx_run_dialog"));
    if (run == nullptr) {
        std::cerr << "qif2ldx: error: "
                  << (module == nullptr ? ::dlerror() : sModule + " is not usable")
                  << "\nqif2ldx: error: the dialog cannot be opened; the command line works "
                     "without it: see qif2ldx --help\n";
        return 2;
    }
    return run(argc, argv);
}

} // namespace

int main(int argc, char** argv)
{
    using namespace qif2ldx;
    platform::FillClosedStandardDescriptors();
    const platform::ProcessEnvironment objEnvironment;
    if (app::ChooseStartMode({argv + std::min(argc, 1), argv + argc}, objEnvironment,
                             app::cli::CommandNames()) != app::StartMode::CommandLine) {
        return RunDialog(argc, argv);
    }
    const std::atomic<int>& interrupt = platform::CatchInterrupts();
    const platform::SystemClock objClock;
    const platform::ExecutableFolder objFolder;
    const std::string sDesktopModule = app::AppPath(objFolder) + platform::kDesktopModuleName;
    const platform::DesktopFileAssociation objAssociation(sDesktopModule, app::kStatementMimeType);
    platform::DesktopProcessStarter objStarter(sDesktopModule);
    const app::cli::CommandLineContext objContext{
        std::cout,
        std::cerr,
        objClock,
        objFolder,
        objEnvironment,
        ::isatty(STDERR_FILENO) == 1,
        &interrupt,
        &objAssociation,
        &objStarter,
        STDIN_FILENO,
        platform::TerminalColumns(STDOUT_FILENO),
        app::LocaleDateShower(platform::UserTimeLocale())};
    return app::cli::RunCommandLine(argc, argv, objContext);
}
