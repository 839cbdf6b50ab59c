// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Reason.h"

#include <functional>
#include <string>
#include <string_view>

namespace qif2ldx::statement {

// Where a finished statement goes once it is read back.
struct Delivery
{
    bool bolReplace = false; // a statement file already at the path may be replaced
    bool bolPlace = true;    // false: read back, then dropped (a dry run)
    // Handed the statement's bytes, a piece at a time, instead of placing it (standard output,
    // say); false fails the delivery.
    std::function<bool(std::string_view)> objDeliver{};
    // Asked before the read-back and again before the statement leaves the working file; false
    // stops the commit.
    std::function<bool()> objKeepGoing{};
};

// How the statement's way to its path ended.
enum class CommitStatus
{
    Committed,    // placed, delivered, or read back as written when it was not to be placed
    NotCreated,   // the working file could not be created
    NotSaved,     // the statement could not be written in full, or flushed to the disk
    NotAsWritten, // the file read back differs from what was written
    NotDelivered, // the file could not be read out, or the delivery refused it
    Exists,       // a file is at the path and may not be replaced
    NotPlaced,    // the working file could not be put at the path
    Stopped       // objKeepGoing said no
};

// The one result of a statement's file: the status, the system's reason where the system
// failed, and what the read-back found where it differs.
struct CommitResult
{
    CommitStatus status = CommitStatus::Committed;
    platform::Reason reason{};
    std::string sReason{};
};

} // namespace qif2ldx::statement
