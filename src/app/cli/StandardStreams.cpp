// SPDX-License-Identifier: MIT
#include "app/cli/StandardStreams.h"

#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/Utf8.h"
#include "qif/CQIFFile.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <istream>
#include <ostream>

namespace qif2ldx::app::cli {
namespace {

// Reads the next piece of a stream into buffer: how many bytes, 0 at its end; nullopt when the
// stream fails (errno EINTR when the user interrupted).
using StreamReader = std::function<std::optional<std::size_t>(char* buffer, std::size_t size)>;

// The private copy is the user's data: nobody else may read it, whatever the umask.
constexpr mode_t kPrivate = 0600;

// The private copy is named as a staged file for this path beside the one it is kept beside.
std::string CopyFinalPath(const std::string& sBeside)
{
    return sBeside + ".qif";
}

// Copies the stream whole into a private file beside sBeside.
CommandInput Spool(const StreamReader& objRead, const std::string& sName,
                   const std::string& sBeside, const std::string& sWhat)
{
    CommandInput input{{}, sName, std::nullopt, {}};
    const std::string sShown = platform::EscapeControls(sName);
    platform::StagedFile::Created spool =
        platform::StagedFile::Create(CopyFinalPath(sBeside), kPrivate);
    if (!spool.file) {
        input.sError = sShown + " cannot be kept for reading: " + std::strerror(spool.error);
        return input;
    }
    std::array<char, 65536> buffer{};
    std::uint64_t total = 0;
    for (;;) {
        const std::optional<std::size_t> got = objRead(buffer.data(), buffer.size());
        if (!got) {
            input.bolInterrupted = errno == EINTR;
            input.sError = input.bolInterrupted ? "interrupted while reading " + sShown
                                                : sShown + " cannot be read";
            return input;
        }
        if (*got == 0) {
            break;
        }
        total += *got;
        if (total > qif::kMaxQIFBytes) {
            input.sError = sWhat;
            input.sError.append(" is larger than 1 GiB: ").append(sShown);
            return input;
        }
        if (!platform::WriteAll(spool.file->Fd(), std::string_view(buffer.data(), *got))) {
            input.sError = sShown + " cannot be kept for reading: " + std::strerror(errno);
            return input;
        }
    }
    input.sPath = spool.file->Path();
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
        std::istream* objIn = objContext.objIn;
        if (objIn == nullptr) {
            return {{}, "standard input", std::nullopt, "standard input cannot be read here"};
        }
        return Spool(
            [objIn](char* buffer, std::size_t size) -> std::optional<std::size_t> {
                objIn->read(buffer, static_cast<std::streamsize>(size));
                if (objIn->bad()) {
                    errno = EIO;
                    return std::nullopt;
                }
                return static_cast<std::size_t>(objIn->gcount());
            },
            "standard input", sBeside, sWhat);
    }
    if (!platform::IsPipe(sGiven)) {
        return {sGiven, sGiven, std::nullopt, {}};
    }
    const platform::UniqueFd pipe = platform::OpenPipe(sGiven);
    if (!pipe) {
        return {{},
                sGiven,
                std::nullopt,
                platform::EscapeControls(sGiven) + " cannot be read: " + std::strerror(errno)};
    }
    const std::atomic<int>* objInterrupt = objContext.objInterrupt;
    const std::function<bool()> objStop = [objInterrupt] {
        return objInterrupt != nullptr && objInterrupt->load() != 0;
    };
    return Spool(
        [&pipe, &objStop](char* buffer, std::size_t size) {
            return platform::ReadPipe(pipe.Get(), buffer, size, objStop);
        },
        sGiven, sBeside, sWhat);
}

void RemoveStaleCopies(const std::string& sBeside)
{
    platform::StagedFile::RemoveStale(CopyFinalPath(sBeside));
}

std::string TemporaryBeside()
{
    return platform::TemporaryFolder() + "/standard-input";
}

std::function<bool(std::string_view)> DeliverTo(std::ostream& objOut)
{
    return [&objOut](std::string_view bytes) {
        objOut.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return objOut.flush().good();
    };
}

} // namespace qif2ldx::app::cli
