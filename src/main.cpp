// SPDX-License-Identifier: MIT
// No arguments: the dialog; arguments: the command line.
#include "app/MainModule.h"
#include "app/cli/CommandLine.h"
#include "platform/ExecutableFolder.h"
#include "platform/IFileAssociation.h"
#include "platform/IProcessStarter.h"
#include "platform/SystemClock.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <dlfcn.h>
#include <iostream>
#include <malloc.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::atomic<int> gInterrupt{0};

extern "C" void OnInterrupt(int signal)
{
    gInterrupt.store(signal);
}

constexpr const char* kTunedMarker = "QIF2LDX_HUGE_PAGES";
bool gStartedWithHugePages = false;

// A statement is a tree of many small nodes, all freed together at the end: glibc serves that
// best without fast bins (which it would sweep all at once) and without handing memory back to
// the system piece by piece.
void TuneHeap()
{
    mallopt(M_MXFAST, 0);
    mallopt(M_TRIM_THRESHOLD, INT32_MAX);
    mallopt(M_TOP_PAD, 64 << 20);
    if (std::getenv(kTunedMarker) != nullptr) {
        // Started anew with huge pages; programs this one starts get the user's environment.
        gStartedWithHugePages = true;
        ::unsetenv("GLIBC_TUNABLES");
        ::unsetenv(kTunedMarker);
    }
}

// For a large input, huge pages spare the kernel most of its page faults; glibc takes that
// setting only when a process starts, so the program starts itself once more with it. A
// user's own GLIBC_TUNABLES wins.
std::function<void(std::uint64_t)> RestartWithHugePages(char** argv)
{
    return [argv](std::uint64_t /*size*/) {
        if (gStartedWithHugePages || std::getenv("GLIBC_TUNABLES") != nullptr) {
            return;
        }
        ::setenv("GLIBC_TUNABLES", "glibc.malloc.hugetlb=1", 1);
        ::setenv(kTunedMarker, "1", 1);
        ::execv("/proc/self/exe", argv);
        ::unsetenv("GLIBC_TUNABLES"); // the start failed: go on as it is
        ::unsetenv(kTunedMarker);
    };
}

// A function of a module beside the executable; nullptr (with the reason on stderr) when the
// module or the function is missing.
void* ModuleFunction(const std::string& sModule, const char* sFunction,
                     const qif2ldx::platform::IProgramFolder& objFolder)
{
    const std::string sPath = qif2ldx::app::AppPath(objFolder) + sModule;
    void* module = ::dlopen(sPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    void* function = module == nullptr ? nullptr : ::dlsym(module, sFunction);
    if (function == nullptr) {
        std::cerr << "qif2ldx: " << (module == nullptr ? ::dlerror() : sPath + " is not usable")
                  << "\n";
    }
    return function;
}

// The desktop's file associations and program start, loaded the first time they are wanted.
class DesktopServices final : public qif2ldx::platform::IFileAssociation,
                              public qif2ldx::platform::IProcessStarter
{
public:
    explicit DesktopServices(const qif2ldx::platform::IProgramFolder& objFolder)
        : objFolder_(objFolder)
    {}

    [[nodiscard]] std::string FindExecutable(const std::string& sFile) const override
    {
        Load();
        return objAssociation_ == nullptr ? std::string() : objAssociation_->FindExecutable(sFile);
    }

    bool StartDetached(const std::string& sExecutable,
                       const std::vector<std::string>& arguments) override
    {
        Load();
        return objStarter_ != nullptr && objStarter_->StartDetached(sExecutable, arguments);
    }

private:
    void Load() const
    {
        if (bolLoaded_) {
            return;
        }
        bolLoaded_ = true;
        using Association = qif2ldx::platform::IFileAssociation* (*)();
        using Starter = qif2ldx::platform::IProcessStarter* (*)();
        if (auto* association = reinterpret_cast<Association>(
                ModuleFunction(kModule, "qif2ldx_file_association", objFolder_))) {
            objAssociation_ = association();
        }
        if (auto* starter = reinterpret_cast<Starter>(
                ModuleFunction(kModule, "qif2ldx_process_starter", objFolder_))) {
            objStarter_ = starter();
        }
    }

    static constexpr const char* kModule = "libqif2ldx-desktop.so";
    const qif2ldx::platform::IProgramFolder& objFolder_;
    mutable bool bolLoaded_ = false;
    mutable qif2ldx::platform::IFileAssociation* objAssociation_ = nullptr;
    mutable qif2ldx::platform::IProcessStarter* objStarter_ = nullptr;
};

// The dialog lives in a module beside the executable, loaded only when it is wanted.
int RunDialog(int argc, char** argv, const qif2ldx::platform::IProgramFolder& objFolder)
{
    using RunDialogFunction = int (*)(int, char**);
    auto* run = reinterpret_cast<RunDialogFunction>(
        ModuleFunction("libqif2ldx-dialog.so", "qif2ldx_run_dialog", objFolder));
    if (run == nullptr) {
        std::cerr << "qif2ldx: the dialog cannot be opened; the command line works without it: "
                     "see qif2ldx --help\n";
        return 2;
    }
    return run(argc, argv);
}

} // namespace

int main(int argc, char** argv)
{
    using namespace qif2ldx;
    if (argc <= 1) {
        return RunDialog(argc, argv, platform::ExecutableFolder());
    }
    TuneHeap();
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    // Past a file-size limit a write should fail and be reported, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    const platform::SystemClock objClock;
    const platform::ExecutableFolder objFolder;
    DesktopServices objDesktop(objFolder);
    const app::cli::CommandLineContext objContext{std::cout,
                                                  std::cerr,
                                                  objClock,
                                                  objFolder,
                                                  ::isatty(STDERR_FILENO) == 1,
                                                  &gInterrupt,
                                                  RestartWithHugePages(argv),
                                                  &objDesktop,
                                                  &objDesktop};
    return app::cli::RunCommandLine(argc, argv, objContext);
}
