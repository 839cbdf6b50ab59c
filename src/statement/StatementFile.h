// SPDX-License-Identifier: MIT
#pragma once

#include "platform/FileSystem.h"
#include "platform/StagedFile.h"
#include "statement/StatementDigest.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qif2ldx::statement {

// The statement's file on its way to its path: a private working file beside the path, held
// open on one descriptor from the skeleton until it is placed, read back or handed on, and
// removed unless it was placed. Every step after the creation works on that descriptor; only
// the XML document's own load and save name the working file.
class StatementFile
{
public:
    // How the placement ended; the system's reason where it failed.
    struct PlaceResult
    {
        platform::StagedFile::Placement placement = platform::StagedFile::Placement::Failed;
        std::string sReason; // the system's words when Failed
    };

    // What the read-back found.
    struct ReadBack
    {
        bool bolSynced = true;                 // the file reached the disk (when asked to)
        std::optional<std::string> difference; // the first difference from what was written
    };

    // Creates the working file beside sPath holding sSkeleton. Refused for an empty path, a name
    // longer than any folder takes, a folder at the path, or the kept file (the QIF file being
    // read) at the path; nullopt also when the file cannot be created or written.
    [[nodiscard]] static std::optional<StatementFile>
    Create(const std::string& sPath, std::string_view sSkeleton,
           const std::optional<platform::FileIdentity>& kept);

    [[nodiscard]] const std::string& WorkingPath() const { return objStaged_.Path(); }

    // Puts sHeader in front of what the working file holds, moving the content along a piece at
    // a time. False when it cannot be written in full, or the working path no longer names
    // the file held open.
    [[nodiscard]] bool PutInFront(std::string_view sHeader);
    // Reads the file back and compares it with the digest, flushing it to the disk meanwhile
    // when bolSync (only a statement that has reached the disk may take the place of an old
    // one). Never throws.
    [[nodiscard]] ReadBack Verify(const StatementDigest& objDigest, std::string_view sHeader,
                                  bool bolSync) const;
    // Hands the file's bytes to the sink, a piece at a time; false when the file cannot be read
    // or the sink refuses a piece.
    [[nodiscard]] bool CopyTo(const std::function<bool(std::string_view)>& objSink) const;
    // Puts the file at its path in one step: replacing a file there only when bolReplace, never
    // the kept file, and a symbolic link there itself rather than its target; a link that points
    // nowhere is replaced like a missing file.
    [[nodiscard]] PlaceResult Place(bool bolReplace);

private:
    StatementFile(platform::StagedFile objStaged, std::optional<platform::FileIdentity> kept)
        : objStaged_(std::move(objStaged)), objKept_(kept)
    {}

    platform::StagedFile objStaged_;
    std::optional<platform::FileIdentity> objKept_;
};

} // namespace qif2ldx::statement
