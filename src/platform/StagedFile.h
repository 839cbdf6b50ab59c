// SPDX-License-Identifier: MIT
#pragma once

#include "platform/File.h"

#include <optional>
#include <string>
#include <sys/types.h>

namespace qif2ldx::platform {

// A file written under a private name beside the path it is meant for, and put in place whole
// once it is complete, or not at all. The private file is hidden by its name
// (".<name>.<random>.tmp"), created exclusively with the permissions asked for (0666 unless
// told, less the umask), held open for reading and writing and locked (flock) while the object
// lives, and removed when the object goes without having been placed. A process killed outright
// may leave it, never the final path half-written; the next creation for the same path removes
// it.
class StagedFile
{
public:
    // How placing the file ended, and the system's error number where it failed.
    enum class Placement
    {
        Placed,
        Exists, // the path holds a file and replacing was not allowed: nothing changed
        Failed  // error says why: nothing changed
    };
    struct PlaceResult
    {
        Placement placement = Placement::Failed;
        int error = 0; // errno's value when Failed
    };

    // What Create made: the file, or the system's error number.
    struct Created;

    // Creates the private file in the folder of sFinalPath, with the permissions given (less the
    // umask), after RemoveStale(sFinalPath).
    [[nodiscard]] static Created Create(const std::string& sFinalPath, mode_t mode = 0666);

    // Removes the private files for sFinalPath that no living object holds: those that processes
    // killed outright left. A file whose lock cannot be taken is in use and stays, as does every
    // file where the file system has no locks. Nothing is reported: what cannot be removed stays.
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

    // Flushes the private file to the disk. False when it cannot be. May run on another thread
    // while the file is read.
    [[nodiscard]] bool Sync() const;
    // Renames the private file onto the final path in one step: replacing what is there when
    // bolReplace, never replacing a file (even one that appeared meanwhile) otherwise. A
    // symbolic link at the final path is replaced itself, never followed.
    [[nodiscard]] PlaceResult Place(bool bolReplace);
    // Removes the private file, if it is still there.
    void Discard();

private:
    StagedFile(std::string sFinalPath, std::string sPath, UniqueFd fd);

    std::string sFinalPath_;
    std::string sPath_; // empty once placed or discarded
    UniqueFd fd_;
};

struct StagedFile::Created
{
    std::optional<StagedFile> file;
    int error = 0; // errno's value when there is no file
};

} // namespace qif2ldx::platform
