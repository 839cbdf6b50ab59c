// SPDX-License-Identifier: MIT
#include "statement/StatementFile.h"

#include "platform/File.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <future>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace qif2ldx::statement {
namespace {

using platform::StagedFile;

// The pieces the file is moved and copied in.
constexpr std::size_t kPiece = std::size_t{1} << 20;

// A link at the path that points nowhere.
bool IsDanglingLink(const std::string& sPath)
{
    struct stat link
    {};
    struct stat target
    {};
    return ::lstat(sPath.c_str(), &link) == 0 && S_ISLNK(link.st_mode) &&
           ::stat(sPath.c_str(), &target) != 0;
}

} // namespace

std::optional<StatementFile>
StatementFile::Create(const std::string& sPath, std::string_view sSkeleton,
                      const std::optional<platform::FileIdentity>& kept)
{
    if (sPath.empty() || (kept && platform::IdentityOf(sPath) == kept)) {
        return std::nullopt;
    }
    const std::size_t slash = sPath.rfind('/');
    if (sPath.size() - (slash == std::string::npos ? 0 : slash + 1) > NAME_MAX) {
        return std::nullopt; // no folder takes a name that long
    }
    struct stat info
    {};
    if (::lstat(sPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        return std::nullopt; // a folder is never replaced
    }
    StagedFile::Created staged = StagedFile::Create(sPath);
    if (!staged.file || !platform::WriteAll(staged.file->Fd(), sSkeleton)) {
        return std::nullopt;
    }
    return StatementFile(std::move(*staged.file), kept);
}

bool StatementFile::PutInFront(std::string_view sHeader)
{
    const int fd = objStaged_.Fd();
    // The document was saved by name: that name must still be the file held open.
    if (platform::IdentityOf(fd) != platform::IdentityOf(WorkingPath())) {
        return false;
    }
    struct stat info
    {};
    bool ok = ::fstat(fd, &info) == 0;
    // Move the content towards the end by the header's length, last piece first, so that a file
    // of any size passes through a buffer of bounded size; then write the header at the start.
    off_t remaining = ok ? info.st_size : 0;
    std::vector<char> buffer(
        std::min(kPiece, static_cast<std::size_t>(std::max<off_t>(remaining, 1))));
    const auto shift = static_cast<off_t>(sHeader.size());
    while (ok && remaining > 0) {
        const auto piece =
            static_cast<std::size_t>(std::min<off_t>(remaining, static_cast<off_t>(buffer.size())));
        remaining -= static_cast<off_t>(piece);
        ok = platform::ReadExactlyAt(fd, buffer.data(), piece, remaining) &&
             platform::WriteAllAt(fd, std::string_view(buffer.data(), piece), remaining + shift);
    }
    return ok && platform::WriteAllAt(fd, sHeader, 0);
}

StatementFile::ReadBack StatementFile::Verify(const StatementDigest& objDigest,
                                              std::string_view sHeader, bool bolSync) const
{
    // The flush runs while the file is read back: both only read the file.
    std::future<bool> synced = std::async(bolSync ? std::launch::async : std::launch::deferred,
                                          [this] { return objStaged_.Sync(); });
    ReadBack result;
    try {
        result.difference = objDigest.Compare(objStaged_.Fd(), sHeader);
    } catch (const std::exception& error) {
        result.difference = error.what();
    }
    result.bolSynced = !bolSync || synced.get();
    return result;
}

bool StatementFile::CopyTo(const std::function<bool(std::string_view)>& objSink) const
{
    std::vector<char> buffer(kPiece);
    for (std::uint64_t offset = 0;;) {
        const std::optional<std::size_t> read =
            platform::ReadSomeAt(objStaged_.Fd(), buffer.data(), buffer.size(), offset);
        if (!read) {
            return false;
        }
        if (*read == 0) {
            return true;
        }
        if (!objSink(std::string_view(buffer.data(), *read))) {
            return false;
        }
        offset += *read;
    }
}

StatementFile::PlaceResult StatementFile::Place(bool bolReplace)
{
    if (objKept_ && platform::IdentityOf(objStaged_.FinalPath()) == objKept_) {
        // The path has become the QIF file being read.
        return {StagedFile::Placement::Failed, std::strerror(EPERM)};
    }
    StagedFile::PlaceResult placed = objStaged_.Place(bolReplace);
    // A link that points nowhere names no statement: it is replaced like a missing file (and a
    // file that takes its place meanwhile is still never replaced).
    if (placed.placement == StagedFile::Placement::Exists &&
        IsDanglingLink(objStaged_.FinalPath()) && ::unlink(objStaged_.FinalPath().c_str()) == 0) {
        placed = objStaged_.Place(false);
    }
    if (placed.placement == StagedFile::Placement::Failed) {
        return {placed.placement, std::strerror(placed.error)};
    }
    return {placed.placement, {}};
}

} // namespace qif2ldx::statement
