// SPDX-License-Identifier: MIT
#include "qif/CQIFFile.h"

#include "platform/FileSystem.h"
#include "qif/QIFError.h"
#include "qif/QIFLines.h"
#include "statement/CLDXFile.h"

#include <cerrno>
#include <new>
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

bool CQIFFile::Fail(FailureKind kind, std::string sDescription, std::int64_t line)
{
    failure_ = {kind, line, std::move(sDescription)};
    return false;
}

bool CQIFFile::ConvertQIFtoLDX(const std::string& sLDXFilePath, const records::CAcctInfo& cAcctInf)
{
    return Guarded([&] {
        const std::unique_ptr<statement::CLDXFile> objWriter =
            StartStatement(sLDXFilePath, cAcctInf);
        if (!objWriter) {
            return false;
        }
        std::optional<QIFText> text = ReadText();
        const std::optional<ReadPlan> plan = text ? Plan(*text) : std::nullopt;
        if (!plan || !Read(
                         *text, *plan,
                         [&](const records::CQIFTx& cTxn, std::int64_t) {
                             static_cast<void>(objWriter->WriteOFXTrans(cTxn, cAcctInf));
                         },
                         [&] { return objWriter->LastFitId(); })) {
            return false;
        }
        const std::uint64_t size = text->Text().size();
        text.reset(); // the statement needs the room more
        return SaveStatement(*objWriter, cAcctInf) && Commit(*objWriter, size);
    });
}

bool CQIFFile::Preview(const QIFRecords::Sink& objSink)
{
    return Guarded([&] {
        const std::optional<QIFText> text = ReadText();
        const std::optional<ReadPlan> plan = text ? Plan(*text) : std::nullopt;
        return plan && Read(*text, *plan, objSink);
    });
}

bool CQIFFile::Guarded(const std::function<bool()>& objRun)
{
    report_ = ReadReport{};
    failure_ = ConversionFailure{};
    if (!objFile_) {
        return Fail(FailureKind::NotOpen);
    }
    try {
        return objRun();
    } catch (const std::bad_alloc&) {
        return Fail(FailureKind::OutOfMemory);
    } catch (const QIFError& error) {
        return Fail(FailureKind::BadText, error.what(), error.Line());
    } catch (const std::exception& error) {
        return Fail(FailureKind::Unexpected, error.what());
    }
}

bool CQIFFile::Progress(std::uint64_t done, std::uint64_t total) const
{
    return !objProgress_ || objProgress_(done, total);
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
        Fail(FailureKind::CannotCreateStatement);
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
        Fail(errno == EFBIG ? FailureKind::TooLarge : FailureKind::CannotRead);
        return std::nullopt;
    }
    try {
        return QIFText(std::move(*bytes));
    } catch (const QIFError& error) {
        Fail(FailureKind::NotText, error.what());
        return std::nullopt;
    }
}

bool CQIFFile::Collect(const QIFText& text, const RecordCollector::Sink& objSink, bool bolReports)
{
    const std::string_view body = text.Text();
    RecordCollector objCollector(objSink);
    QIFLines objLines(body, text.EndsLinesWithCr());
    QIFLine line;
    std::uint64_t nextReport = kProgressStep;
    while (objLines.Next(line)) {
        objCollector.HandleLine(line);
        if (objLines.Position() >= nextReport) {
            nextReport = objLines.Position() + kProgressStep;
            // The survey reports no progress of its own, but it may be stopped all the same.
            if (!Progress(bolReports ? objLines.Position() : 0, body.size())) {
                return Fail(FailureKind::Stopped);
            }
        }
    }
    objCollector.Finish();
    report_.lineEnds = objLines.Ends();
    return !bolReports || Progress(body.size(), body.size()) || Fail(FailureKind::Stopped);
}

std::optional<ReadPlan> CQIFFile::Plan(const QIFText& text)
{
    ReadSurvey objSurvey(text.Encoding(), objOptions_.dateOrder);
    if (!Collect(
            text, [&objSurvey](const RawRecord& record) { objSurvey.Note(record); }, false)) {
        return std::nullopt;
    }
    ReadPlan plan = objSurvey.Plan();
    report_.encoding = plan.encoding;
    if (!plan.dates.bolFits) {
        Fail(FailureKind::BadText, plan.dates.failure.sDescription, plan.dates.failure.line);
        return std::nullopt;
    }
    if (objChoose_) {
        const std::optional<DateChoice> choice = objChoose_(plan.dates);
        if (!choice) {
            // Declining a file that reads two ways is no fault of the file.
            if (plan.dates.bolAmbiguous) {
                Fail(FailureKind::Cancelled);
            } else {
                Fail(FailureKind::BadText, plan.dates.dayFirstFailure.sDescription,
                     plan.dates.dayFirstFailure.line);
            }
            return std::nullopt;
        }
        if (choice->order != plan.dates.order) {
            plan = objSurvey.Plan(choice->order);
        }
        plan.dates.source = choice->source;
    }
    report_.dates = plan.dates;
    return plan;
}

bool CQIFFile::Read(const QIFText& text, const ReadPlan& plan, const QIFRecords::Sink& objSink,
                    std::function<std::string()> objFitId)
{
    const DatePlan objDates = objOptions_.dateOrder ? DatePlan::Given(*objOptions_.dateOrder)
                                                    : DatePlan::Decided(plan.dates.order);
    QIFRecords objRecords(
        text.IsUtf8(), objDates, report_,
        objReview_.Sink(plan.decimalSeparator, objSink, std::move(objFitId), text.Text()));
    if (objOptions_.objProfile->bolPlainAmounts) {
        objRecords.SetPlainAmounts(plan.decimalSeparator);
    }
    if (!Collect(
            text, [&objRecords](const RawRecord& record) { objRecords.Handle(record); }, true)) {
        return false;
    }
    const ReviewEnd end = objReview_.Finish(report_);
    return end == ReviewEnd::Written ||
           Fail(end == ReviewEnd::Cancelled ? FailureKind::Cancelled : FailureKind::NothingNew);
}

bool CQIFFile::SaveStatement(statement::CLDXFile& objWriter, const records::CAcctInfo& cAcctInf)
{
    objWriter.InsertSTMTStartEndDate(cAcctInf, report_.sStartDate, report_.sEndDate);
    objWriter.InsertLEDGERBAL(cAcctInf, report_.sEndDate);
    return objWriter.SaveFile() || Fail(FailureKind::CannotSave);
}

bool CQIFFile::Commit(statement::CLDXFile& objWriter, std::uint64_t size)
{
    if (!Progress(size, size)) {
        return Fail(FailureKind::Stopped);
    }
    // A statement that takes a path must be on the disk; it gets there while it is read back.
    const bool bolPlacing = objOptions_.bolPlace && !objOptions_.objDeliver;
    const statement::StatementFile::ReadBack verified = objWriter.VerifyFile(bolPlacing);
    if (!verified.bolSynced) {
        return Fail(FailureKind::CannotSave);
    }
    if (verified.difference) {
        return Fail(FailureKind::NotAsWritten, *verified.difference);
    }
    if (!Progress(size, size)) {
        return Fail(FailureKind::Stopped);
    }
    if (objOptions_.objDeliver) {
        return objWriter.DeliverFile(objOptions_.objDeliver) || Fail(FailureKind::CannotDeliver);
    }
    if (!objOptions_.bolPlace) {
        return true;
    }
    statement::StatementFile::PlaceResult placed = objWriter.PlaceFile(objOptions_.bolReplace);
    switch (placed.placement) {
    case platform::StagedFile::Placement::Placed:
        return true;
    case platform::StagedFile::Placement::Exists:
        return Fail(FailureKind::StatementExists);
    case platform::StagedFile::Placement::Failed:
        break;
    }
    return Fail(FailureKind::CannotPlace, std::move(placed.sReason));
}

} // namespace qif2ldx::qif
