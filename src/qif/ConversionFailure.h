// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Reason.h"
#include "statement/Commit.h"

#include <cstdint>
#include <string>

namespace qif2ldx::qif {

// Why a conversion failed (CQIFFile's, and the steps of its reading).
enum class FailureKind
{
    None,
    NotOpen,               // no QIF file was opened
    CannotCreateStatement, // the statement file could not be created
    CannotRead,            // the QIF file could not be opened or read
    TooLarge,              // the QIF file is larger than kMaxQIFBytes
    NotText,               // the file holds bytes that are no text, or no QIF: no QIF file at all
    OfxStatement,          // the file is an OFX statement already
    UnknownQifAccount,     // the QIF account asked for is none of the file's (sReason lists them)
    BadText,               // the QIF text cannot be converted (line and sReason say why)
    Stopped,               // the progress callback stopped the run
    Cancelled,             // the person converting declined a question: which QIF account to
                           // read, how the dates read, the same file again or the repeats
    NothingNew,            // the review left every transaction out: nothing is new
    CannotSave,            // the finished statement could not be written
    NotAsWritten,          // the statement read back differs from what was written
    CannotDeliver,         // the finished statement could not be handed to objDeliver
    StatementExists,       // a statement file appeared at the path and may not be replaced
    CannotPlace,           // the finished statement could not be put at its path
    OutOfMemory,           // there was not enough memory
    Unexpected             // any other error
};

// How a conversion failed: the kind, the system's reason where the system failed, and what the
// program found. The words for the user are made by whoever tells the user.
struct ConversionFailure
{
    FailureKind kind = FailureKind::None;
    std::int64_t line = 0; // the QIF line at fault (BadText); 0 when none is
    // What was found, in a few words: the text's fault ("\"D13/13\" is not a day-first date")
    // or the read-back's difference; empty where the kind and reason say it all.
    std::string sReason;
    platform::Reason reason{}; // the system's, for a file that could not be read or written
};

// The failure a statement's commit ended in: kind None when it was committed, Stopped when it
// was stopped, and otherwise the kind for its status with the system's reason or the
// read-back's difference.
[[nodiscard]] ConversionFailure FailureOfCommit(const statement::CommitResult& committed);

} // namespace qif2ldx::qif
