// SPDX-License-Identifier: MIT
// No arguments: the dialog; arguments: the command line.
#include "app/MainModule.h"
#include "app/cli/CommandLine.h"
#include "platform/ExecutableFolder.h"
#include "platform/GioFileAssociation.h"
#include "platform/SpawnProcessStarter.h"
#include "platform/SystemClock.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <dlfcn.h>
#include <iostream>
#include <malloc.h>
#include <unistd.h>

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

// The dialog lives in a module beside the executable, loaded only when it is wanted.
int RunDialog(int argc, char** argv, const qif2ldx::platform::IProgramFolder& objFolder)
{
    const std::string sModule = qif2ldx::app::AppPath(objFolder) + "libqif2ldx-dialog.so";
    void* module = ::dlopen(sModule.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        std::cerr << "qif2ldx: the dialog cannot be opened: " << ::dlerror()
                  << "\nqif2ldx: the command line works without it; see qif2ldx --help\n";
        return 2;
    }
    using RunDialogFunction = int (*)(int, char**);
    auto* run = reinterpret_cast<RunDialogFunction>(::dlsym(module, "qif2ldx_run_dialog"));
    if (run == nullptr) {
        std::cerr << "qif2ldx: " << sModule << " is not the dialog module\n";
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
    const platform::GioFileAssociation objAssociation;
    platform::SpawnProcessStarter objStarter;
    const app::cli::CommandLineContext objContext{std::cout,
                                                  std::cerr,
                                                  objClock,
                                                  objFolder,
                                                  ::isatty(STDERR_FILENO) == 1,
                                                  &gInterrupt,
                                                  RestartWithHugePages(argv),
                                                  &objAssociation,
                                                  &objStarter};
    return app::cli::RunCommandLine(argc, argv, objContext);
}
