// SPDX-License-Identifier: MIT
#include "app/cli/StandardStreams.h"

#include "app/MainModule.h"
#include "app/ReasonWords.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/Utf8.h"
#include "qif/CQIFFile.h"

#include <array>
#include <atomic>
#include <ostream>

namespace qif2ldx::app::cli {
namespace {

// The private copy is named as a staged file for this path beside the one it is kept beside.
std::string CopyFinalPath(const std::string& sBeside)
{
    return sBeside + ".qif";
}

// Copies the stream open on fd whole into a private file beside sBeside, or into a private
// folder when sBeside is empty.
CommandInput Spool(int fd, const std::string& sName, const std::string& sBeside,
                   const std::string& sWhat, const CommandLineContext& objContext)
{
    CommandInput input;
    input.sName = sName;
    const std::string sShown = platform::EscapeControls(sName);
    // The copy cannot be kept: the folder is at fault, not the stream.
    const auto unkept = [&](const std::string& sFolder, const platform::Reason& reason) {
        input.sReason = sShown + " cannot be kept for reading in " +
                        platform::EscapeControls(sFolder.empty() ? std::string(".") : sFolder) +
                        ": " + ReasonWords(reason);
        input.bolUnkept = true;
    };
    std::string sKeptBeside = sBeside;
    if (sKeptBeside.empty()) {
        platform::PrivateFolder::Made made = platform::PrivateFolder::Make();
        if (!made.folder) {
            unkept(platform::TemporaryFolder(), made.reason);
            return input;
        }
        input.folder.emplace(std::move(*made.folder));
        sKeptBeside = input.folder->Path() + "/standard-input";
    }
    const std::string sFolder = GetFolderPath(sKeptBeside);
    platform::StagedFile::Created spool = platform::StagedFile::Create(CopyFinalPath(sKeptBeside));
    if (!spool.file) {
        unkept(sFolder, spool.reason);
        return input;
    }
    const std::atomic<int>* objInterrupt = objContext.objInterrupt;
    const std::function<bool()> objStop = [objInterrupt] {
        return objInterrupt != nullptr && objInterrupt->load() != 0;
    };
    std::array<char, 65536> buffer{};
    std::uint64_t total = 0;
    for (;;) {
        const platform::Result<std::size_t> got =
            platform::ReadStream(fd, buffer.data(), buffer.size(), objStop);
        if (!got) {
            input.bolInterrupted = got.reason.kind == platform::ReasonKind::Interrupted;
            input.sReason = input.bolInterrupted
                                ? "interrupted while reading " + sShown
                                : "cannot read " + sShown + ": " + ReasonWords(got.reason);
            return input;
        }
        if (got.value == 0) {
            break;
        }
        total += got.value;
        if (total > qif::kMaxQIFBytes) {
            input.sReason = sWhat;
            input.sReason.append(" is larger than 1 GiB: ").append(sShown);
            return input;
        }
        if (const platform::Done kept =
                platform::WriteAll(spool.file->Fd(), std::string_view(buffer.data(), got.value));
            !kept) {
            unkept(sFolder, kept.reason);
            return input;
        }
    }
    // Read through the descriptor held: the copy's name could be taken by another file.
    input.sPath = platform::DescriptorPath(spool.file->Fd());
    input.spool = std::move(spool.file);
    return input;
}

} // namespace

bool IsStream(const std::string& sGiven)
{
    return sGiven == "-" || platform::IsPipe(sGiven);
}

CommandInput OpenCommandInput(const std::string& sGiven, const std::string& sBeside,
                              const std::string& sWhat, const CommandLineContext& objContext)
{
    if (sGiven == "-") {
        if (objContext.inFd < 0) {
            CommandInput input;
            input.sName = "standard input";
            input.sReason = "standard input cannot be read here";
            return input;
        }
        return Spool(objContext.inFd, "standard input", sBeside, sWhat, objContext);
    }
    if (!platform::IsPipe(sGiven)) {
        CommandInput input;
        input.sPath = sGiven;
        input.sName = sGiven;
        return input;
    }
    const platform::Result<platform::UniqueFd> pipe = platform::OpenPipe(sGiven);
    if (!pipe) {
        CommandInput input;
        input.sName = sGiven;
        input.sReason =
            "cannot read " + platform::EscapeControls(sGiven) + ": " + ReasonWords(pipe.reason);
        return input;
    }
    return Spool(pipe.value.Get(), sGiven, sBeside, sWhat, objContext);
}

void RemoveStaleCopies(const std::string& sBeside)
{
    platform::StagedFile::RemoveStale(CopyFinalPath(sBeside));
}

std::function<bool(std::string_view)> DeliverTo(std::ostream& objOut)
{
    return [&objOut](std::string_view bytes) {
        objOut.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return objOut.flush().good();
    };
}

} // namespace qif2ldx::app::cli
