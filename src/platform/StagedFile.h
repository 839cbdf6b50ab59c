// SPDX-License-Identifier: MIT
#pragma once

#include "platform/File.h"
#include "platform/Reason.h"

#include <optional>
#include <string>

namespace qif2ldx::platform {

// A file written under a private name beside the path it is meant for, and put in place whole
// once it is complete, or not at all. The private file is hidden by its name
// (".<name>.<random>.tmp"), created exclusively (never through a symbolic link) and readable by
// the user alone while it is built, held open for reading and writing and locked (flock) while
// the object lives, and removed when the object goes without having been placed. A process
// killed outright may leave it, never the final path half-written; RemoveStale removes it.
class StagedFile
{
public:
    // How placing the file ended.
    enum class Placement
    {
        Placed,
        Exists, // the path holds a file and replacing was not allowed: nothing changed
        Failed  // reason says why: nothing changed
    };
    struct PlaceResult
    {
        Placement placement = Placement::Failed;
        Reason reason{}; // when Failed
    };

    // Who may read the file once it is placed.
    enum class Audience
    {
        User,    // the user alone (0600), as while it is built
        AsUmask, // whoever the umask lets read a new file, as for any file the user makes
    };

    // What Create made: the file, or why there is none.
    struct Created;

    // Creates the private file in the folder of sFinalPath; refused for a final name longer than
    // any folder takes. Nothing else in the folder is touched.
    [[nodiscard]] static Created Create(const std::string& sFinalPath,
                                        Audience audience = Audience::User);

    // Removes the private files for sFinalPath that no living object holds: those that processes
    // killed outright left. Only a regular file whose lock it takes is removed, and only while
    // its name still leads to the file locked: it is first renamed to a name of its own, checked,
    // then removed. A file in use stays, as does every file where the file system has no locks.
    // Nothing is reported: what cannot be removed stays.
    static void RemoveStale(const std::string& sFinalPath);

    StagedFile(StagedFile&& other) noexcept;
    // Takes the other file over, after removing its own private file.
    StagedFile& operator=(StagedFile&& other) noexcept;
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;
    ~StagedFile();

    // The private file's path.
    [[nodiscard]] const std::string& Path() const { return sPath_; }
    [[nodiscard]] const std::string& FinalPath() const { return sFinalPath_; }
    // The descriptor the private file is held open on, for reading and writing.
    [[nodiscard]] int Fd() const { return fd_.Get(); }

    // Flushes the private file to the disk. May run on another thread while the file is read.
    [[nodiscard]] Done Sync() const;
    // Puts the file held open at the final path in one step (PlaceHeldFile), once its private
    // name is checked to lead to it still (Replaced otherwise: another program is at work in the
    // folder). The file gets its final mode once it is at the path.
    [[nodiscard]] PlaceResult Place(bool bolReplace);
    // Removes the private file, if its name still leads to the file held open.
    void Discard();

private:
    StagedFile(std::string sFinalPath, std::string sPath, UniqueFd fd, Audience audience);

    std::string sFinalPath_;
    std::string sPath_; // empty once placed or discarded
    UniqueFd fd_;
    Audience audience_ = Audience::User;
};

struct StagedFile::Created
{
    std::optional<StagedFile> file;
    Reason reason{}; // when there is no file
};

// Puts the file open on fd, named sWorkingPath, at sFinalPath (in the same folder) in one step,
// and nothing else, whatever another program put under sWorkingPath meanwhile. Without
// bolReplace it is linked there through its descriptor as a new name, never replacing a file
// (even one that appeared meanwhile: Exists). With it, it is exchanged with what is there and
// checked to be at the path; when it is not, or a folder was there, the exchange is undone and
// the path keeps what it held (Replaced, or Folder). The working name is then removed. A
// symbolic link at the final path is replaced itself, never followed. Where the file system can
// neither link nor exchange (FAT), or /proc is not mounted, sWorkingPath is checked to lead to
// the file and renamed.
[[nodiscard]] StagedFile::PlaceResult PlaceHeldFile(int fd, const std::string& sWorkingPath,
                                                    const std::string& sFinalPath, bool bolReplace);

// Removes the file at sPath only while that name leads to the file open on fd: the name is first
// moved to a private name of its own, so that nothing else can take it, then checked, then
// removed; a file found there instead is put back. False when nothing was removed.
bool RemoveHeldFile(const std::string& sPath, int fd);

// Removes the symbolic link at sPath when it points nowhere, the same way: only that link, even
// when another file takes its name meanwhile. False when nothing was removed.
bool RemoveDanglingLink(const std::string& sPath);

} // namespace qif2ldx::platform
