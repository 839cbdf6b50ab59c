// SPDX-License-Identifier: MIT
// Removing files beside a statement: only the file meant, never one that took its name.
#include "platform/StagedFile.h"

#include "support/TempDir.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <vector>

namespace qif2ldx::test {
namespace {

namespace fs = std::filesystem;

TEST(StagedFileRemoval, OnlyTheFileMeantIsRemovedWhateverTookItsNameMeanwhile)
{
    TempDir dir;
    const std::string path = dir.File("May.LDX");
    const std::string stale = dir.File(".May.LDX.0123abcd.tmp");
    const std::string other = dir.File("other.txt");
    struct Case
    {
        const char* what;
        std::function<void()> prepare; // puts files in place
        std::function<void()> act;
        std::vector<std::string> left; // the names left, sorted
    };
    platform::UniqueFd held;
    const auto write = [](const std::string& name, const char* text) { WriteBytes(name, text); };
    const Case cases[] = {
        {"a stale file no run holds is removed",
         [&] { write(stale, "left"); },
         [&] { platform::StagedFile::RemoveStale(path); },
         {}},
        {"a file a living run holds stays",
         [&] {
             write(stale, "in use");
             held = platform::UniqueFd(::open(stale.c_str(), O_RDONLY | O_CLOEXEC));
             ASSERT_EQ(::flock(held.Get(), LOCK_EX | LOCK_NB), 0);
         },
         [&] { platform::StagedFile::RemoveStale(path); },
         {".May.LDX.0123abcd.tmp"}},
        {"a link of the working file's form is never followed",
         [&] {
             write(other, "the user's");
             fs::create_symlink(other, stale);
         },
         [&] { platform::StagedFile::RemoveStale(path); },
         {".May.LDX.0123abcd.tmp", "other.txt"}},
        {"the file held open is removed by its name",
         [&] {
             write(stale, "ours");
             held = platform::UniqueFd(::open(stale.c_str(), O_RDONLY | O_CLOEXEC));
         },
         [&] { EXPECT_TRUE(platform::RemoveHeldFile(stale, held.Get())); },
         {}},
        {"a file that took the held file's name stays where it was found",
         [&] {
             write(stale, "ours");
             held = platform::UniqueFd(::open(stale.c_str(), O_RDONLY | O_CLOEXEC));
             fs::rename(stale, other);
             write(stale, "another file");
         },
         [&] { EXPECT_FALSE(platform::RemoveHeldFile(stale, held.Get())); },
         {".May.LDX.0123abcd.tmp", "other.txt"}},
        {"a link that points nowhere is removed",
         [&] { fs::create_symlink(other, path); },
         [&] { EXPECT_TRUE(platform::RemoveDanglingLink(path)); },
         {}},
        {"a link to a file and a file itself stay",
         [&] {
             write(other, "the user's");
             fs::create_symlink(other, path);
         },
         [&] { EXPECT_FALSE(platform::RemoveDanglingLink(path)); },
         {"May.LDX", "other.txt"}},
    };
    for (const Case& c : cases) {
        fs::remove_all(dir.Path());
        fs::create_directory(dir.Path());
        held.Reset();
        c.prepare();
        c.act();
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(dir.Path())) {
            left.push_back(entry.path().filename().string());
        }
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, c.left) << c.what;
    }
}

TEST(StagedFileRemoval, WorkingFilesArePrivateWhileBuiltAndNeverReplaceWithoutLeave)
{
    TempDir dir;
    const std::string path = dir.File("May.LDX");
    WriteBytes(path, "old");
    platform::StagedFile::Created created =
        platform::StagedFile::Create(path, platform::StagedFile::Audience::AsUmask);
    ASSERT_TRUE(created.file);
    struct stat info
    {};
    ASSERT_EQ(::stat(created.file->Path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600U);
    EXPECT_EQ(created.file->Place(false).placement, platform::StagedFile::Placement::Exists);
    EXPECT_EQ(ReadBytes(path), "old");
    const mode_t mask = ::umask(027);
    EXPECT_EQ(created.file->Place(true).placement, platform::StagedFile::Placement::Placed);
    ::umask(mask);
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640U);
}

// Another program swaps the working file for a link to one of the user's files (or for a file
// of its own) after the run checked the working name, just before it places its statement: only
// the file the run holds ever reaches the path, the old statement stays when it cannot, and the
// link's target is never touched. (A swap before the check fails the run: CLDXFileTest.)
TEST(StagedFilePlacement, OnlyTheHeldFileReachesThePathWhateverTookItsWorkingName)
{
    using Placement = platform::StagedFile::Placement;
    struct Case
    {
        const char* what;
        bool bolOld;     // a statement is at the path
        bool bolReplace; // --overwrite
        bool bolLink;    // the working name became a link (else another file)
        Placement placement;
        const char* final; // what the path holds afterwards
    };
    const Case cases[] = {
        {"linked as new, the link is not placed", false, false, true, Placement::Placed, "new"},
        {"the old statement stays without leave", true, false, true, Placement::Exists, "old"},
        {"an exchange with the link is undone", true, true, true, Placement::Failed, "old"},
        {"an exchange with another file is undone", true, true, false, Placement::Failed, "old"},
        {"replacing nothing links the held file", false, true, true, Placement::Placed, "new"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string path = dir.File("May.LDX");
        const std::string victim = dir.File("victim.txt");
        WriteBytes(victim, "the user's");
        if (c.bolOld) {
            WriteBytes(path, "old");
        }
        platform::StagedFile::Created created = platform::StagedFile::Create(path);
        ASSERT_TRUE(created.file);
        ASSERT_TRUE(platform::WriteAll(created.file->Fd(), "new"));
        const std::string working = created.file->Path();
        fs::rename(working, dir.File("moved-away"));
        if (c.bolLink) {
            fs::create_symlink(victim, working);
        } else {
            WriteBytes(working, "another file");
        }
        EXPECT_EQ(
            platform::PlaceHeldFile(created.file->Fd(), working, path, c.bolReplace).placement,
            c.placement)
            << c.what;
        EXPECT_FALSE(fs::is_symlink(path)) << c.what;
        EXPECT_EQ(ReadBytes(path), c.final) << c.what;
        EXPECT_EQ(ReadBytes(victim), "the user's") << c.what;
    }
}

} // namespace
} // namespace qif2ldx::test
