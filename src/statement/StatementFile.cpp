// SPDX-License-Identifier: MIT
#include "statement/StatementFile.h"

#include "platform/File.h"

#include <algorithm>
#include <future>
#include <vector>

namespace qif2ldx::statement {
namespace {

using platform::StagedFile;

// The pieces the file is moved and copied in.
constexpr std::size_t kPiece = std::size_t{1} << 20;

// A reason the program finds itself, without a number of the system's.
platform::Reason Refusal(platform::ReasonKind kind)
{
    return {kind, 0};
}

} // namespace

StatementFile::Created StatementFile::Create(const std::string& sPath, std::string_view sSkeleton,
                                             const std::optional<platform::FileIdentity>& kept)
{
    if (sPath.empty()) {
        return {std::nullopt, Refusal(platform::ReasonKind::NoSuchFile)};
    }
    if (kept && platform::IdentityOf(sPath) == kept) {
        return {std::nullopt, Refusal(platform::ReasonKind::PermissionDenied)};
    }
    if (platform::IsDirectory(sPath)) {
        return {std::nullopt, Refusal(platform::ReasonKind::Folder)}; // never replaced
    }
    StagedFile::RemoveStale(sPath);
    StagedFile::Created staged = StagedFile::Create(sPath, StagedFile::Audience::AsUmask);
    if (!staged.file) {
        return {std::nullopt, staged.reason};
    }
    if (const platform::Done written = platform::WriteAll(staged.file->Fd(), sSkeleton); !written) {
        return {std::nullopt, written.reason};
    }
    return {StatementFile(std::move(*staged.file), kept), {}};
}

std::string StatementFile::HeldPath() const
{
    return platform::DescriptorPath(objStaged_.Fd());
}

platform::Done StatementFile::WriteOver(const std::function<platform::Done(int fd)>& objWrite)
{
    return platform::WriteOver(objStaged_.Fd(), objWrite);
}

platform::Done StatementFile::PutInFront(std::string_view sHeader)
{
    const int fd = objStaged_.Fd();
    const platform::Result<std::size_t> size = platform::SizeOf(fd);
    if (!size) {
        return {size.reason};
    }
    // Move the content towards the end by the header's length, last piece first, so that a file
    // of any size passes through a buffer of bounded size; then write the header at the start.
    auto remaining = static_cast<off_t>(size.value);
    std::vector<char> buffer(std::min(kPiece, std::max<std::size_t>(size.value, 1)));
    const auto shift = static_cast<off_t>(sHeader.size());
    while (remaining > 0) {
        const auto piece =
            static_cast<std::size_t>(std::min<off_t>(remaining, static_cast<off_t>(buffer.size())));
        remaining -= static_cast<off_t>(piece);
        platform::Done moved = platform::ReadExactlyAt(fd, buffer.data(), piece, remaining);
        if (moved) {
            moved =
                platform::WriteAllAt(fd, std::string_view(buffer.data(), piece), remaining + shift);
        }
        if (!moved) {
            return moved;
        }
    }
    return platform::WriteAllAt(fd, sHeader, 0);
}

CommitResult StatementFile::Commit(const StatementDigest& objDigest, std::string_view sHeader,
                                   const Delivery& objDelivery)
{
    const auto keepGoing = [&objDelivery] {
        return !objDelivery.objKeepGoing || objDelivery.objKeepGoing();
    };
    if (!keepGoing()) {
        return {CommitStatus::Stopped};
    }
    const bool bolPlacing = objDelivery.bolPlace && !objDelivery.objDeliver;
    if (CommitResult verified = Verify(objDigest, sHeader, bolPlacing);
        verified.status != CommitStatus::Committed) {
        return verified;
    }
    if (!keepGoing()) {
        return {CommitStatus::Stopped};
    }
    if (objDelivery.objDeliver) {
        return {CopyTo(objDelivery.objDeliver) ? CommitStatus::Committed
                                               : CommitStatus::NotDelivered};
    }
    return bolPlacing ? Place(objDelivery.bolReplace) : CommitResult{};
}

CommitResult StatementFile::Verify(const StatementDigest& objDigest, std::string_view sHeader,
                                   bool bolSync) const
{
    // The flush runs while the file is read back: both only read the file.
    std::future<platform::Done> synced = std::async(
        bolSync ? std::launch::async : std::launch::deferred, [this] { return objStaged_.Sync(); });
    std::optional<std::string> difference;
    try {
        difference = objDigest.Compare(objStaged_.Fd(), sHeader);
    } catch (const std::exception& error) {
        difference = error.what();
    }
    const platform::Done flushed = bolSync ? synced.get() : platform::Done{};
    if (!flushed) {
        return {CommitStatus::NotSaved, flushed.reason};
    }
    if (difference) {
        return {CommitStatus::NotAsWritten, {}, std::move(*difference)};
    }
    return {};
}

bool StatementFile::CopyTo(const std::function<bool(std::string_view)>& objSink) const
{
    std::vector<char> buffer(kPiece);
    for (std::uint64_t offset = 0;;) {
        const platform::Result<std::size_t> read =
            platform::ReadSomeAt(objStaged_.Fd(), buffer.data(), buffer.size(), offset);
        if (!read) {
            return false;
        }
        if (read.value == 0) {
            return true;
        }
        if (!objSink(std::string_view(buffer.data(), read.value))) {
            return false;
        }
        offset += read.value;
    }
}

CommitResult StatementFile::Place(bool bolReplace)
{
    if (objKept_ && platform::IdentityOf(objStaged_.FinalPath()) == objKept_) {
        // The path has become the QIF file being read.
        return {CommitStatus::NotPlaced, Refusal(platform::ReasonKind::PermissionDenied)};
    }
    StagedFile::PlaceResult placed = objStaged_.Place(bolReplace);
    // A link that points nowhere names no statement: it is replaced like a missing file (and a
    // file that takes its place meanwhile is still never replaced).
    if (placed.placement == StagedFile::Placement::Exists &&
        platform::RemoveDanglingLink(objStaged_.FinalPath())) {
        placed = objStaged_.Place(false);
    }
    switch (placed.placement) {
    case StagedFile::Placement::Placed:
        return {};
    case StagedFile::Placement::Exists:
        return {CommitStatus::Exists};
    case StagedFile::Placement::Failed:
        break;
    }
    return {CommitStatus::NotPlaced, placed.reason};
}

} // namespace qif2ldx::statement
