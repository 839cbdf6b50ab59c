// SPDX-License-Identifier: MIT
#pragma once

#include "app/cli/CommandLine.h"
#include "platform/PrivateFolder.h"
#include "platform/StagedFile.h"

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace qif2ldx::app::cli {

// A file named on the command line, made ready to be read as any regular file is. Standard input
// ("-") and pipes (a FIFO, /dev/stdin, a process substitution's /dev/fd/N) are read once, whole,
// into a private file (".NAME.qif.<random>.tmp", readable by the user alone) beside the path they
// are kept for, or in a private folder of their own; the copy, and the folder, go with the
// object. A stream that cannot be read to its real end is no input at all.
struct CommandInput
{
    std::string sPath; // what to read: the path as given, or the private copy's
    std::string sName; // the file in messages: the path as given, or "standard input"
    std::optional<platform::PrivateFolder> folder; // where the copy is kept, when not beside
    std::optional<platform::StagedFile> spool;     // the private copy, for a stream
    std::string sReason; // why the stream could not be kept, for the user; empty when it was
    bool bolInterrupted = false; // the user stopped the reading
    bool bolUnkept = false; // read, but no copy could be kept: the folder for it cannot be written
};

// True for "-" and for a path that names a pipe: what OpenCommandInput copies.
[[nodiscard]] bool IsStream(const std::string& sGiven);

// sGiven as a file to read. A stream is copied beside sBeside (in a private folder when sBeside
// is empty), refused past the largest QIF file read (1 GiB; sWhat names the file in that
// refusal: "the QIF file") and when a read fails; a wait for data ends within a second when the
// user interrupts. Anything else is left where it is, for the command's own checks.
[[nodiscard]] CommandInput OpenCommandInput(const std::string& sGiven, const std::string& sBeside,
                                            const std::string& sWhat,
                                            const CommandLineContext& objContext);

// Removes the private copies of streams kept beside sBeside that runs killed outright left;
// never one that a living run holds.
void RemoveStaleCopies(const std::string& sBeside);

// Hands a finished statement's bytes to the stream, as they come; false once the stream fails.
[[nodiscard]] std::function<bool(std::string_view)> DeliverTo(std::ostream& objOut);

} // namespace qif2ldx::app::cli
