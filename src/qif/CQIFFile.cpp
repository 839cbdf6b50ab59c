// SPDX-License-Identifier: MIT
#include "qif/CQIFFile.h"

#include "platform/FileSystem.h"
#include "platform/Windows1252.h"
#include "qif/QIFError.h"
#include "qif/QIFLines.h"
#include "statement/CLDXFile.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <string_view>
#include <unistd.h>

namespace qif2ldx::qif {
namespace {

// How many bytes go by between two progress reports.
constexpr std::uint64_t kProgressStep = 1 << 20;

} // namespace

CQIFFile::CQIFFile(platform::IMessages& objMessages,
                   const platform::IProgramFolder& objProgramFolder,
                   const platform::IClock& objClock)
    : objMessages_(objMessages), objProgramFolder_(objProgramFolder), objClock_(objClock)
{}

bool CQIFFile::OpenFile(const std::string& sQIFFilePath)
{
    if (sQIFFilePath.empty()) {
        return false;
    }
    platform::UniqueFd file = platform::OpenRegularFile(sQIFFilePath);
    if (!file) {
        return false;
    }
    objFile_ = std::move(file);
    return true;
}

bool CQIFFile::Fail(FailureKind kind, std::string sReason)
{
    failure_ = {kind, std::move(sReason)};
    return false;
}

bool CQIFFile::ConvertQIFtoLDX(const std::string& sLDXFilePath, const records::CAcctInfo& cAcctInf)
{
    report_ = ReadReport{};
    failure_ = ConversionFailure{};
    if (!objFile_) {
        return Fail(FailureKind::NotOpen, "no QIF file is open");
    }
    try {
        statement::CLDXFile objWriter(objMessages_, objProgramFolder_, objClock_);
        if (const auto identity = platform::IdentityOf(objFile_.Get())) {
            objWriter.KeepFile(*identity); // the statement must never replace its own input
        }
        if (!objWriter.CreateFile(sLDXFilePath)) {
            return Fail(FailureKind::CannotCreateStatement,
                        "the statement file cannot be created: " + sLDXFilePath);
        }
        static_cast<void>(objWriter.WriteOFXStandardInfo(cAcctInf));
        if (::lseek(objFile_.Get(), 0, SEEK_SET) != 0) {
            return Fail(FailureKind::CannotRead, "the QIF file cannot be read");
        }
        std::optional<std::string> buffer = platform::ReadAll(objFile_.Get(), kMaxQIFBytes);
        if (!buffer) {
            return Fail(FailureKind::CannotRead, errno == EFBIG
                                                     ? "the QIF file is larger than 1 GiB"
                                                     : "the QIF file cannot be read");
        }
        const std::uint64_t size = buffer->size();
        if (!ReadTransactions(*buffer, objWriter, cAcctInf)) {
            return Fail(FailureKind::Stopped, "");
        }
        buffer.reset();
        objWriter.InsertSTMTStartEndDate(cAcctInf, report_.sStartDate, report_.sEndDate);
        objWriter.InsertLEDGERBAL(cAcctInf, report_.sEndDate);
        if (!objWriter.SaveFile()) {
            return Fail(FailureKind::CannotSave, "the statement could not be written in full to " +
                                                     sLDXFilePath + " (is the disk full?)");
        }
        if (objProgress_ && !objProgress_(size, size)) {
            return Fail(FailureKind::Stopped, "");
        }
        return !objOptions_.bolPlace || Place(objWriter, sLDXFilePath);
    } catch (const std::bad_alloc&) {
        return Fail(FailureKind::OutOfMemory, "there is not enough memory to convert the file");
    } catch (const QIFError& error) {
        return Fail(FailureKind::BadText, error.what());
    } catch (const std::exception& error) {
        return Fail(FailureKind::Unexpected, error.what());
    }
}

bool CQIFFile::Place(statement::CLDXFile& objWriter, const std::string& sLDXFilePath)
{
    switch (objWriter.PlaceFile(objOptions_.bolReplace)) {
    case platform::StagedFile::Placement::Placed:
        return true;
    case platform::StagedFile::Placement::Exists:
        return Fail(FailureKind::StatementExists,
                    "the statement file already exists (--overwrite replaces it): " + sLDXFilePath);
    case platform::StagedFile::Placement::Failed:
        break;
    }
    return Fail(FailureKind::CannotPlace,
                "the statement could not be put at " + sLDXFilePath + ": " + std::strerror(errno));
}

bool CQIFFile::ReadTransactions(std::string_view text, statement::CLDXFile& objWriter,
                                const records::CAcctInfo& cAcctInf)
{
    // A byte-order mark says the file is UTF-8 rather than Windows-1252.
    const bool bolUtf8 = text.substr(0, 3) == platform::kUtf8ByteOrderMark;
    if (bolUtf8) {
        text.remove_prefix(3);
    }
    QIFRecords objRecords(bolUtf8, report_, [&](const records::CQIFTx& cTxn) {
        static_cast<void>(objWriter.WriteOFXTrans(cTxn, cAcctInf));
    });
    QIFLines objLines(text);
    QIFLine line;
    std::uint64_t nextReport = kProgressStep;
    while (objLines.Next(line)) {
        try {
            objRecords.HandleLine(line.text);
        } catch (const QIFError& error) {
            throw QIFError("line " + std::to_string(line.number) + ": " + error.what());
        }
        if (objProgress_ && objLines.Position() >= nextReport) {
            nextReport = objLines.Position() + kProgressStep;
            if (!objProgress_(objLines.Position(), text.size())) {
                return false;
            }
        }
    }
    objRecords.Finish();
    return !objProgress_ || objProgress_(text.size(), text.size());
}

} // namespace qif2ldx::qif
