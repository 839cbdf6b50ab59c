// SPDX-License-Identifier: MIT
#pragma once

#include "app/Receipt.h"
#include "platform/IClock.h"
#include "platform/IEnvironment.h"
#include "platform/IFileAssociation.h"
#include "platform/IProcessStarter.h"
#include "platform/IProgramFolder.h"

#include <atomic>
#include <iosfwd>

namespace qif2ldx::app::cli {

// What the command line takes from its surroundings, so that tests can run it in-process.
struct CommandLineContext
{
    std::ostream& objOut; // results
    std::ostream& objErr; // messages, warnings and the progress bar
    const platform::IClock& objClock;
    const platform::IProgramFolder& objProgramFolder;
    const platform::IEnvironment& objEnvironment;   // where the user's own account list is
    bool bolErrIsTerminal = false;                  // draw a progress bar on objErr
    const std::atomic<int>* objInterrupt = nullptr; // a signal number once the user interrupts
    // For --open: the desktop's file associations and a way to start the application.
    const platform::IFileAssociation* objAssociation = nullptr;
    platform::IProcessStarter* objStarter = nullptr;
    int inFd = -1;      // standard input's descriptor, for a file named "-"; -1 where there is none
    int outColumns = 0; // the width of the terminal objOut writes to; 0: no terminal
    DateShower objShowDate; // dates in receipts; ISO when empty
};

// Exit statuses of every command; qif2ldx(1) tells them.
inline constexpr int kExitDone = 0;          // the command did what it was asked
inline constexpr int kExitSaved = kExitDone; // convert: every statement was saved
inline constexpr int kExitFailed = 1;
inline constexpr int kExitRefused = 2;
inline constexpr int kExitInterrupted = 130;

// Runs one command of the command table (or --help, --version) and returns its exit status.
int RunCommandLine(int argc, const char* const* argv, const CommandLineContext& objContext);

} // namespace qif2ldx::app::cli
