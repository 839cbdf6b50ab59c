// SPDX-License-Identifier: MIT
#include "qif/CQIFFile.h"

#include "platform/FileSystem.h"
#include "platform/Windows1252.h"
#include "qif/QIFError.h"
#include "qif/QIFLines.h"
#include "qif/QIFText.h"
#include "statement/CLDXFile.h"

#include <cerrno>
#include <cstring>
#include <future>
#include <memory>
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

bool CQIFFile::OpenFile(const std::string& sQIFFilePath, const std::string& sName)
{
    if (sQIFFilePath.empty()) {
        return false;
    }
    platform::UniqueFd file = platform::OpenRegularFile(sQIFFilePath);
    if (!file) {
        return false;
    }
    objFile_ = std::move(file);
    sQIFFilePath_ = sName.empty() ? sQIFFilePath : sName;
    return true;
}

bool CQIFFile::Fail(FailureKind kind, std::string sReason)
{
    failure_ = {kind, std::move(sReason)};
    return false;
}

bool CQIFFile::ConvertQIFtoLDX(const std::string& sLDXFilePath, const records::CAcctInfo& cAcctInf)
{
    return Guarded([&] {
        std::unique_ptr<statement::CLDXFile> objWriter;
        const auto start = [&] {
            objWriter = StartStatement(sLDXFilePath, cAcctInf);
            return objWriter != nullptr ||
                   Fail(FailureKind::CannotCreateStatement,
                        "the statement file cannot be created: " + sLDXFilePath);
        };
        if (!start()) {
            return false;
        }
        std::optional<QIFText> text = ReadText();
        DatePlan plan = FirstPlan();
        // A reading begun again (the dates turned out not to be day first) begins a new
        // statement in a new working file.
        if (!text || !SurveyAmounts(*text, plan) ||
            !ReadFile(
                *text,
                [&](const records::CQIFTx& cTxn, std::int64_t /*line*/) {
                    static_cast<void>(objWriter->WriteOFXTrans(cTxn, cAcctInf));
                },
                start, plan, objProgress_)) {
            return false;
        }
        const std::uint64_t size = text->Text().size();
        text.reset();
        return FinishStatement(*objWriter, sLDXFilePath, cAcctInf, size);
    });
}

bool CQIFFile::Preview(const QIFRecords::Sink& objSink, const std::function<void()>& objRestart)
{
    return Guarded([&] {
        const std::optional<QIFText> text = ReadText();
        DatePlan plan = FirstPlan();
        return text && ReadFile(
                           *text, objSink,
                           [&] {
                               objRestart();
                               return true;
                           },
                           plan, objProgress_);
    });
}

bool CQIFFile::Guarded(const std::function<bool()>& objRun)
{
    report_ = ReadReport{};
    failure_ = ConversionFailure{};
    plainSeparator_.reset();
    if (!objFile_) {
        return Fail(FailureKind::NotOpen, "no QIF file is open");
    }
    try {
        return objRun();
    } catch (const std::bad_alloc&) {
        return Fail(FailureKind::OutOfMemory, "there is not enough memory to convert the file");
    } catch (const QIFError& error) {
        return Fail(FailureKind::BadText, error.what());
    } catch (const std::exception& error) {
        return Fail(FailureKind::Unexpected, error.what());
    }
}

DatePlan CQIFFile::FirstPlan() const
{
    return objOptions_.dateOrder ? DatePlan::Forced(*objOptions_.dateOrder)
                                 : DatePlan::AssumeDayFirst();
}

bool CQIFFile::SurveyAmounts(const QIFText& text, DatePlan& plan)
{
    if (!objOptions_.objProfile->bolPlainAmounts) {
        return true;
    }
    // The progress of this reading is none, but it may be stopped all the same.
    const ProgressCallback objNoProgress = [this](std::uint64_t, std::uint64_t total) {
        return !objProgress_ || objProgress_(0, total);
    };
    if (!ReadFile(
            text, [](const records::CQIFTx&, std::int64_t) {}, [] { return true; }, plan,
            objNoProgress)) {
        return false;
    }
    plainSeparator_ = report_.amounts.Separator();
    return true;
}

bool CQIFFile::ReadFile(const QIFText& text, const QIFRecords::Sink& objSink,
                        const std::function<bool()>& objRestart, DatePlan& plan,
                        const ProgressCallback& objProgress)
{
    while (true) {
        try {
            return ReadTransactions(text, objSink, plan, objProgress) ||
                   Fail(FailureKind::Stopped, "");
        } catch (const DayFirstMiss&) {
            // Some date is no real day read day first: the file's order is found first.
            if (!DecideDates(text, plan) || !objRestart()) {
                return false;
            }
        }
    }
}

std::unique_ptr<statement::CLDXFile> CQIFFile::StartStatement(const std::string& sLDXFilePath,
                                                              const records::CAcctInfo& cAcctInf)
{
    auto objWriter =
        std::make_unique<statement::CLDXFile>(objMessages_, objProgramFolder_, objClock_);
    objWriter->SetProfile(*objOptions_.objProfile);
    if (const auto identity = platform::IdentityOf(objFile_.Get())) {
        objWriter->KeepFile(*identity); // the statement must never replace its own input
    }
    if (!objWriter->CreateFile(sLDXFilePath)) {
        return nullptr;
    }
    static_cast<void>(objWriter->WriteOFXStandardInfo(cAcctInf));
    return objWriter;
}

std::optional<QIFText> CQIFFile::ReadText()
{
    std::optional<std::string> bytes;
    if (::lseek(objFile_.Get(), 0, SEEK_SET) == 0) {
        bytes = platform::ReadAll(objFile_.Get(), kMaxQIFBytes);
    }
    if (!bytes) {
        Fail(FailureKind::CannotRead,
             errno == EFBIG ? "the QIF file is larger than 1 GiB" : "the QIF file cannot be read");
        return std::nullopt;
    }
    try {
        return QIFText(std::move(*bytes));
    } catch (const QIFError& error) {
        Fail(FailureKind::BadText,
             sQIFFilePath_ + " does not look like a QIF file: " + error.what());
        return std::nullopt;
    }
}

bool CQIFFile::DecideDates(const QIFText& text, DatePlan& plan)
{
    DateSurvey objSurvey;
    ReadReport ignored;
    const DatePlan surveying = DatePlan::Surveying(objSurvey);
    QIFRecords objRecords(text.IsUtf8(), surveying, ignored,
                          [](const records::CQIFTx&, std::int64_t) {});
    QIFLines objLines(text.Text(), text.EndsLinesWithCr());
    QIFLine line;
    while (objLines.Next(line)) {
        objRecords.HandleLine(line);
    }
    const DateDecision decision = objSurvey.Decide();
    if (!decision.bolFits) {
        return Fail(FailureKind::BadText, decision.sFailure);
    }
    if (objConfirm_ && !objConfirm_(decision)) {
        return Fail(FailureKind::BadText, decision.sDayFirstFailure);
    }
    plan = DatePlan::Decided(decision);
    report_ = ReadReport{};
    report_.dates = decision;
    return true;
}

bool CQIFFile::FinishStatement(statement::CLDXFile& objWriter, const std::string& sLDXFilePath,
                               const records::CAcctInfo& cAcctInf, std::uint64_t size)
{
    objWriter.InsertSTMTStartEndDate(cAcctInf, report_.sStartDate, report_.sEndDate);
    objWriter.InsertLEDGERBAL(cAcctInf, report_.sEndDate);
    if (!objWriter.SaveFile()) {
        return Fail(FailureKind::CannotSave, "the statement could not be written in full to " +
                                                 sLDXFilePath + " (is the disk full?)");
    }
    if (objProgress_ && !objProgress_(size, size)) {
        return Fail(FailureKind::Stopped, "");
    }
    // A statement that takes a path must be on the disk; it gets there while it is read back.
    const bool bolPlacing = objOptions_.bolPlace && !objOptions_.objDeliver;
    std::future<bool> synced = std::async(bolPlacing ? std::launch::async : std::launch::deferred,
                                          [&objWriter] { return objWriter.SyncFile(); });
    const std::optional<std::string> difference = objWriter.VerifyFile();
    if (bolPlacing && !synced.get()) {
        return Fail(FailureKind::CannotSave, "the statement could not be written in full to " +
                                                 sLDXFilePath + " (is the disk full?)");
    }
    if (difference) {
        return Fail(FailureKind::NotAsWritten,
                    "the statement did not read back as written: " + *difference);
    }
    if (objProgress_ && !objProgress_(size, size)) {
        return Fail(FailureKind::Stopped, "");
    }
    if (objOptions_.objDeliver) {
        return objOptions_.objDeliver(objWriter.WorkingPath()) ||
               Fail(FailureKind::CannotPlace, "the statement could not be written out");
    }
    return !objOptions_.bolPlace || Place(objWriter, sLDXFilePath);
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

bool CQIFFile::ReadTransactions(const QIFText& text, const QIFRecords::Sink& objSink,
                                const DatePlan& plan, const ProgressCallback& objProgress)
{
    const DateDecision dates = report_.dates;
    report_ = ReadReport{};
    report_.dates = dates;
    QIFRecords objRecords(text.IsUtf8(), plan, report_, objSink);
    if (plainSeparator_) {
        objRecords.SetPlainAmounts(*plainSeparator_);
    }
    const std::string_view body = text.Text();
    QIFLines objLines(body, text.EndsLinesWithCr());
    QIFLine line;
    std::uint64_t nextReport = kProgressStep;
    while (objLines.Next(line)) {
        try {
            objRecords.HandleLine(line);
        } catch (const DayFirstMiss&) {
            throw;
        } catch (const QIFError& error) {
            throw QIFError("line " + std::to_string(line.number) + ": " + error.what());
        }
        if (objProgress && objLines.Position() >= nextReport) {
            nextReport = objLines.Position() + kProgressStep;
            if (!objProgress(objLines.Position(), body.size())) {
                return false;
            }
        }
    }
    objRecords.Finish();
    return !objProgress || objProgress(body.size(), body.size());
}

} // namespace qif2ldx::qif
