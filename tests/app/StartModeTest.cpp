// SPDX-License-Identifier: MIT
#include "app/StartMode.h"

#include "support/FixedEnvironment.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace qif2ldx::test {
namespace {

using app::StartMode;

TEST(StartMode, OneExistingFileOpensTheDialogOnItAndEverythingElseIsTheCommandLine)
{
    TempDir dir;
    const std::string qif = dir.File("May 2026.qif");
    WriteBytes(qif, "D01/05/2026\r\nT-1\r\n^\r\n");
    WriteBytes(dir.File("-x.qif"), "");
    FixedEnvironment x11;
    x11.variables = {{"DISPLAY", ":0"}};
    FixedEnvironment none;
    none.variables = {{"DISPLAY", ""}, {"QT_QPA_PLATFORM", "xcb"}};
    FixedEnvironment offscreen;
    offscreen.variables = {{"QT_QPA_PLATFORM", "offscreen"}};
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    const std::vector<std::string> commands = {"convert", "show", "check", "accounts"};
    for (const std::string& command : commands) {
        WriteBytes(dir.File(command), "");
    }
    const struct
    {
        std::vector<std::string> arguments;
        const FixedEnvironment& environment;
        StartMode expected;
    } cases[] = {
        {{}, x11, StartMode::Dialog},
        {{}, none, StartMode::Dialog}, // the dialog itself says that it has no display
        {{qif}, x11, StartMode::DialogOnFile},
        {{"May 2026.qif"}, offscreen, StartMode::DialogOnFile},
        {{qif}, none, StartMode::CommandLine},
        {{dir.File("missing.qif")}, x11, StartMode::CommandLine},
        {{dir.Path().string()}, x11, StartMode::CommandLine},
        {{qif, qif}, x11, StartMode::CommandLine},
        {{"convert"}, x11, StartMode::CommandLine},
        {{"accounts"}, x11, StartMode::CommandLine},
        {{"show"}, x11, StartMode::CommandLine},
        {{"-x.qif"}, x11, StartMode::CommandLine},
        {{"--help"}, x11, StartMode::CommandLine},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(app::ChooseStartMode(c.arguments, c.environment, commands), c.expected)
            << (c.arguments.empty() ? "(none)" : c.arguments.front());
    }
    std::filesystem::current_path(before);
    FixedEnvironment wayland;
    wayland.variables = {{"WAYLAND_DISPLAY", "wayland-0"}, {"QT_QPA_PLATFORM", "wayland"}};
    EXPECT_TRUE(app::DisplayAvailable(wayland));
    EXPECT_FALSE(app::DisplayAvailable(FixedEnvironment{}));
}

} // namespace
} // namespace qif2ldx::test
