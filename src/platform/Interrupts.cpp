// SPDX-License-Identifier: MIT
#include "platform/Interrupts.h"

#include <csignal>

namespace qif2ldx::platform {
namespace {

std::atomic<int> gInterrupt{0};

extern "C" void OnInterrupt(int signal)
{
    gInterrupt.store(signal);
}

} // namespace

const std::atomic<int>& CatchInterrupts()
{
    static_cast<void>(std::signal(SIGINT, OnInterrupt));
    static_cast<void>(std::signal(SIGTERM, OnInterrupt));
    static_cast<void>(std::signal(SIGHUP, OnInterrupt));
    static_cast<void>(std::signal(SIGXFSZ, SIG_IGN));
    return gInterrupt;
}

} // namespace qif2ldx::platform
