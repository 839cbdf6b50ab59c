// SPDX-License-Identifier: MIT
// No arguments: the dialog; arguments: the command line.
#include "app/cli/CommandLine.h"
#include "platform/ExecutableFolder.h"
#include "platform/SystemClock.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <malloc.h>
#include <unistd.h>

namespace {

std::atomic<int> gInterrupt{0};

extern "C" void OnInterrupt(int signal)
{
    gInterrupt.store(signal);
}

// A statement of a million transactions is a tree of fifteen million small nodes, all freed
// together at the end. glibc serves that best with huge pages for its heap, no fast bins, and
// no returning memory to the system piece by piece; it reads these settings only when a process
// starts, so the program starts itself once more with them. A user's own GLIBC_TUNABLES wins.
constexpr const char* kTunables = "glibc.malloc.hugetlb=1:glibc.malloc.mxfast=0:"
                                  "glibc.malloc.trim_threshold=4294967295:"
                                  "glibc.malloc.top_pad=67108864";
constexpr const char* kTunedMarker = "QIF2LDX_MALLOC_TUNED";

void StartTuned(char** argv)
{
    if (std::getenv(kTunedMarker) != nullptr) {
        // Tuned already; programs this one starts get the environment the user gave it.
        ::unsetenv("GLIBC_TUNABLES");
        ::unsetenv(kTunedMarker);
        return;
    }
    if (std::getenv("GLIBC_TUNABLES") != nullptr) {
        return;
    }
    ::setenv("GLIBC_TUNABLES", kTunables, 1);
    ::setenv(kTunedMarker, "1", 1);
    ::execv("/proc/self/exe", argv);
    // The start failed: go on untuned, with what can be set from here.
    ::unsetenv("GLIBC_TUNABLES");
    ::unsetenv(kTunedMarker);
    mallopt(M_MXFAST, 0);
}

} // namespace

int main(int argc, char** argv)
{
    using namespace qif2ldx;
    if (argc > 1) {
        StartTuned(argv);
    }
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    const platform::SystemClock objClock;
    const platform::ExecutableFolder objFolder;
    const app::cli::CommandLineContext objContext{
        std::cout, std::cerr, objClock, objFolder, ::isatty(STDERR_FILENO) == 1, &gInterrupt};
    return app::cli::RunCommandLine(argc, argv, objContext);
}
