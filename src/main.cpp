// SPDX-License-Identifier: MIT
// No arguments: the dialog; arguments: the command line.
#include "app/cli/CommandLine.h"
#include "platform/ExecutableFolder.h"
#include "platform/SystemClock.h"

#include <atomic>
#include <csignal>
#include <iostream>
#include <malloc.h>
#include <unistd.h>

namespace {

std::atomic<int> gInterrupt{0};

extern "C" void OnInterrupt(int signal)
{
    gInterrupt.store(signal);
}

} // namespace

int main(int argc, char** argv)
{
    using namespace qif2ldx;
    // A statement is millions of small nodes freed together at the end; without fast bins glibc
    // merges them as they are freed instead of sweeping them all at the next large request.
    mallopt(M_MXFAST, 0);
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    const platform::SystemClock objClock;
    const platform::ExecutableFolder objFolder;
    const app::cli::CommandLineContext objContext{
        std::cout, std::cerr, objClock, objFolder, ::isatty(STDERR_FILENO) == 1, &gInterrupt};
    return app::cli::RunCommandLine(argc, argv, objContext);
}
