// SPDX-License-Identifier: MIT
// The hand-off through the real desktop database: a fake accounting application set as the
// default for statement files in a private XDG folder records how it was started.
#include "app/HandOff.h"
#include "platform/DesktopServices.h"
#include "platform/gio/GioFileAssociation.h"
#include "platform/gio/SpawnProcessStarter.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace qif2ldx::test {
namespace {

namespace fs = std::filesystem;

const std::string kMimeFile = QIF2LDX_MIME_FILE;

// A private desktop database, named before GIO first reads the environment.
class GioHandOff : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        const fs::path xdg = QIF2LDX_XDG_FOLDER;
        const fs::path data = xdg / "data";
        const fs::path config = xdg / "config";
        ::setenv("XDG_DATA_HOME", data.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        ::setenv("XDG_DATA_DIRS", (xdg / "none").c_str(), 1);
        ::setenv("XDG_CONFIG_DIRS", (xdg / "none").c_str(), 1);
        fs::remove_all(data);
        fs::remove_all(config);
        fs::create_directories(data / "mime/packages");
        fs::create_directories(data / "applications");
        fs::create_directories(config);
        fs::copy_file(kMimeFile, data / "mime/packages/qif2ldx-statement.xml");
        const std::string update = "update-mime-database '" + (data / "mime").string() + "'";
        ASSERT_EQ(std::system(update.c_str()), 0);

        app_ = (data / "fake-lodestrand").string();
        record_ = (data / "started-with").string();
        WriteBytes(app_, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                             record_ + ".tmp'\nmv '" + record_ + ".tmp' '" + record_ + "'\n");
        fs::permissions(app_, fs::perms::owner_all);
        WriteBytes((data / "applications/fake-lodestrand.desktop").string(),
                   "[Desktop Entry]\nType=Application\nName=Fake Lodestrand\nExec=" + app_ +
                       " %f\nMimeType=application/x-lodestrand-statement;\n");
        WriteBytes((config / "mimeapps.list").string(),
                   "[Default Applications]\napplication/x-lodestrand-statement="
                   "fake-lodestrand.desktop\n");
    }

    // The lines the fake application was started with, once it has written them.
    static std::string WaitForStart()
    {
        for (int i = 0; i < 100 && !fs::exists(record_); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return ReadBytes(record_);
    }

    TempDir dir;
    test::MessageRecorder messages;
    platform::GioFileAssociation association{app::kStatementMimeType};
    platform::SpawnProcessStarter starter;
    static inline std::string app_;
    static inline std::string record_;
};

TEST_F(GioHandOff, DefaultApplicationGetsThePathWithSpacesAsOneArgument)
{
    fs::remove(record_);
    fs::create_directory(dir.File("my statements"));
    const std::string statement = dir.File("my statements/May 2026.LDX");
    WriteBytes(statement, "OFXHEADER: 100\r\n");
    EXPECT_EQ(association.FindExecutable(statement), app_);
    EXPECT_TRUE(app::HandOffStatement(dir.File("may.qif"), "  " + statement + " ",
                                      {messages, association, starter, nullptr}));
    EXPECT_EQ(WaitForStart(), statement + "\n");
    EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(GioHandOff, NoAssociationOrNoFileMeansNoStart)
{
    fs::remove(record_);
    WriteBytes(dir.File("notes.txt"), "hello");
    EXPECT_EQ(association.FindExecutable(dir.File("notes.txt")), "");
    EXPECT_EQ(association.FindExecutable(dir.File("missing.LDX")), "");
    EXPECT_EQ(association.FindExecutable(dir.Path().string()), "");
    EXPECT_FALSE(app::HandOffStatement(dir.File("a.qif"), dir.File("missing.LDX"),
                                       {messages, association, starter, nullptr}));
    ASSERT_EQ(messages.Messages().size(), 1U);
    EXPECT_EQ(messages.Messages()[0].sText, app::kNotAssociatedMessage);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(fs::exists(record_));
}

TEST_F(GioHandOff, TheModuleLoadedOnFirstUseHandsOffAsGioDoes)
{
    fs::remove(record_);
    const std::string statement = dir.File("May.LDX");
    WriteBytes(statement, "OFXHEADER: 100\r\n");
    const platform::DesktopFileAssociation loaded(QIF2LDX_DESKTOP_MODULE, app::kStatementMimeType);
    platform::DesktopProcessStarter loadedStarter(QIF2LDX_DESKTOP_MODULE);
    EXPECT_TRUE(app::HandOffStatement(dir.File("May.qif"), statement,
                                      {messages, loaded, loadedStarter, nullptr}));
    EXPECT_EQ(WaitForStart(), statement + "\n");
    // Without its module nothing is found and nothing starts, and the user is told why: the
    // module and the loader's reason, not that statements are associated with nothing.
    WriteBytes(dir.File("text.so"), "not a module");
    const std::pair<std::string, std::string> broken[] = {
        {dir.File("none.so"), "cannot open shared object file"},
        {dir.File("text.so"), "text.so: "},
    };
    for (const auto& [module, reason] : broken) {
        const platform::DesktopFileAssociation missing(module, app::kStatementMimeType);
        platform::DesktopProcessStarter missingStarter(module);
        EXPECT_EQ(missing.FindExecutable(statement), "");
        EXPECT_FALSE(missingStarter.StartDetached(app_, {statement}));
        messages.Clear();
        EXPECT_FALSE(app::HandOffStatement(dir.File("May.qif"), statement,
                                           {messages, missing, missingStarter, nullptr}));
        ASSERT_EQ(messages.Messages().size(), 1U);
        EXPECT_NE(messages.Messages()[0].sText.find(module), std::string::npos);
        EXPECT_NE(messages.Messages()[0].sText.find(reason), std::string::npos)
            << messages.Messages()[0].sText;
    }
}

} // namespace
} // namespace qif2ldx::test
