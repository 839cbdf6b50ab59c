// SPDX-License-Identifier: MIT
#pragma once

#include "platform/File.h"

#include <optional>
#include <string>

namespace qif2ldx::platform {

// A file written under a private name beside the path it is meant for, and put in place whole
// once it is complete, or not at all. The private file is hidden by its name
// (".<name>.<random>.tmp"), created exclusively with the usual permissions (0666 less the
// umask), and removed when the object goes without having been placed; a process killed
// outright may leave it, never the final path half-written.
class StagedFile
{
public:
    // How placing the file ended.
    enum class Placement
    {
        Placed,
        Exists, // the path holds a file and replacing was not allowed: nothing changed
        Failed  // errno says why: nothing changed
    };

    // Creates the private file in the folder of sFinalPath; nullopt, with errno set, when it
    // cannot be created there.
    [[nodiscard]] static std::optional<StagedFile> Create(const std::string& sFinalPath);

    StagedFile(StagedFile&& other) noexcept;
    StagedFile& operator=(StagedFile&&) = delete;
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;
    ~StagedFile();

    // The private file's path, to write to.
    [[nodiscard]] const std::string& Path() const { return sPath_; }
    [[nodiscard]] const std::string& FinalPath() const { return sFinalPath_; }

    // Flushes the private file to the disk. False, with errno set, when it cannot.
    [[nodiscard]] bool Sync() const;
    // Renames the private file onto the final path in one step: replacing what is there when
    // bolReplace, never replacing a file (even one that appeared meanwhile) otherwise. A
    // symbolic link at the final path is replaced itself, never followed.
    [[nodiscard]] Placement Place(bool bolReplace);
    // Removes the private file, if it is still there.
    void Discard();

private:
    StagedFile(std::string sFinalPath, std::string sPath);

    std::string sFinalPath_;
    std::string sPath_; // empty once placed or discarded
};

} // namespace qif2ldx::platform
