// SPDX-License-Identifier: MIT
#pragma once

#include "platform/FileSystem.h"
#include "platform/Reason.h"
#include "platform/StagedFile.h"
#include "statement/Commit.h"
#include "statement/StatementDigest.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qif2ldx::statement {

// The statement's file on its way to its path: a private working file beside the path, held
// open on one descriptor from the skeleton until it is placed, read back or handed on, and
// removed unless it was placed. Every byte of the statement is written and read through that
// descriptor; the name is used only to put the file in place, once it is checked to lead to the
// file held.
class StatementFile
{
public:
    // What Create made: the file, or why there is none.
    struct Created;

    // Creates the working file beside sPath holding sSkeleton, after removing the working files
    // that runs killed outright left for sPath. Refused for an empty path, a name longer than any
    // folder takes, a folder at the path, or the kept file (the QIF file being read) at the path.
    [[nodiscard]] static Created Create(const std::string& sPath, std::string_view sSkeleton,
                                        const std::optional<platform::FileIdentity>& kept);

    [[nodiscard]] const std::string& WorkingPath() const { return objStaged_.Path(); }
    // A path that opens the file held, whatever its name has become meanwhile.
    [[nodiscard]] std::string HeldPath() const;
    // Writes the file held anew through objWrite, which writes from its start (see
    // platform::WriteOver).
    [[nodiscard]] platform::Done WriteOver(const std::function<platform::Done(int fd)>& objWrite);

    // Puts sHeader in front of what the working file holds, moving the content along a piece at
    // a time. Fails when it cannot be written in full.
    [[nodiscard]] platform::Done PutInFront(std::string_view sHeader);
    // Reads the file back and compares it with the digest (flushing it to the disk meanwhile
    // when it is to take a path: only a statement on the disk may take the place of an old one),
    // then hands it on or puts it at its path as objDelivery says. Never throws.
    [[nodiscard]] CommitResult Commit(const StatementDigest& objDigest, std::string_view sHeader,
                                      const Delivery& objDelivery);

private:
    StatementFile(platform::StagedFile objStaged, std::optional<platform::FileIdentity> kept)
        : objStaged_(std::move(objStaged)), objKept_(kept)
    {}

    // The read-back, with the flush when bolSync; Committed when the file is as written.
    [[nodiscard]] CommitResult Verify(const StatementDigest& objDigest, std::string_view sHeader,
                                      bool bolSync) const;
    // Hands the file's bytes to the sink, a piece at a time.
    [[nodiscard]] bool CopyTo(const std::function<bool(std::string_view)>& objSink) const;
    // Puts the file at its path in one step: replacing a file there only when bolReplace, never
    // the kept file, and a symbolic link there itself rather than its target; a link that points
    // nowhere is replaced like a missing file.
    [[nodiscard]] CommitResult Place(bool bolReplace);

    platform::StagedFile objStaged_;
    std::optional<platform::FileIdentity> objKept_;
};

struct StatementFile::Created
{
    std::optional<StatementFile> file;
    platform::Reason reason{}; // when there is no file
};

} // namespace qif2ldx::statement
