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

} // namespace
} // namespace qif2ldx::test
