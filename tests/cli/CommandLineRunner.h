// SPDX-License-Identifier: MIT
#pragma once

#include "app/cli/CommandLine.h"
#include "platform/File.h"
#include "support/FixedClock.h"
#include "support/FixedEnvironment.h"
#include "support/FixedProgramFolder.h"
#include "support/PlatformFakes.h"
#include "support/TempDir.h"

#include <atomic>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace qif2ldx::test {

// Runs the command line in-process with the clock at 7 December 2026 and sProgramFolder as
// the program's folder, keeping what it writes.
class CommandLineRunner
{
public:
    CommandLineRunner() { SetEnvironment({}); }

    // The environment holds exactly these variables and, unless they name one, a data folder of
    // the runner's own for the history, as a user's home gives one: without a folder for it
    // every run would warn that nothing was checked or recorded. That folder is emptied before
    // each command.
    void SetEnvironment(std::map<std::string, std::string> variables)
    {
        variables.try_emplace("XDG_DATA_HOME", dataHome.File("data"));
        environment.variables = std::move(variables);
    }

    int RunCommand(std::vector<std::string> args)
    {
        out.str("");
        err.str("");
        args.insert(args.begin(), "qif2ldx");
        std::vector<const char*> argv;
        argv.reserve(args.size());
        for (const auto& arg : args) {
            argv.push_back(arg.c_str());
        }
        // Each command meets an empty history of the runner's own, as on a fresh machine; a
        // test of what the history remembers names a data folder of its own.
        std::error_code ignored;
        std::filesystem::remove_all(dataHome.File("data"), ignored);
        const test::FixedProgramFolder folder(sProgramFolder);
        // Standard input is a file in memory holding in.
        const platform::UniqueFd input(::memfd_create("standard input", MFD_CLOEXEC));
        if (!platform::WriteAll(input.Get(), in) || ::lseek(input.Get(), 0, SEEK_SET) != 0) {
            return -1;
        }
        const app::cli::CommandLineContext context{
            out,        err,          clock,    folder,      environment, false,
            &interrupt, &association, &starter, input.Get(), columns,     {}};
        return app::cli::RunCommandLine(static_cast<int>(argv.size()), argv.data(), context);
    }

    std::string sProgramFolder;
    std::ostringstream out;
    std::ostringstream err;
    std::string in;  // standard input
    int columns = 0; // the terminal's width; 0: output is no terminal
    test::FixedClock clock{{2026, 12, 7}};
    TempDir dataHome;
    FixedEnvironment environment; // only the data folder: no user account list
    std::atomic<int> interrupt{0};
    FakeAssociation association;
    RecordedStarts starter;
};

} // namespace qif2ldx::test
