// SPDX-License-Identifier: MIT
#include "app/cli/StandardStreams.h"

#include "qif/CQIFFile.h"

#include <array>
#include <cstring>
#include <istream>
#include <ostream>

namespace qif2ldx::app::cli {

Spool SpoolStandardInput(std::istream* objIn, const std::string& sBeside)
{
    if (objIn == nullptr) {
        return {std::nullopt, "standard input cannot be read here"};
    }
    platform::StagedFile::Created spool = platform::StagedFile::Create(sBeside + ".qif");
    if (!spool.file) {
        return {std::nullopt, std::string("standard input cannot be kept for reading: ") +
                                  std::strerror(spool.error)};
    }
    std::array<char, 65536> buffer{};
    std::uint64_t total = 0;
    while (objIn->read(buffer.data(), buffer.size()) || objIn->gcount() > 0) {
        const auto size = static_cast<std::size_t>(objIn->gcount());
        total += size;
        if (total > qif::kMaxQIFBytes) {
            return {std::nullopt, "the QIF file is larger than 1 GiB: standard input"};
        }
        if (!platform::WriteAll(spool.file->Fd(), std::string_view(buffer.data(), size))) {
            return {std::nullopt, "standard input cannot be kept for reading"};
        }
    }
    if (objIn->bad()) {
        return {std::nullopt, "standard input cannot be kept for reading"};
    }
    return {std::move(spool.file), {}};
}

std::function<bool(std::string_view)> DeliverTo(std::ostream& objOut)
{
    return [&objOut](std::string_view bytes) {
        objOut.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return objOut.flush().good();
    };
}

} // namespace qif2ldx::app::cli
