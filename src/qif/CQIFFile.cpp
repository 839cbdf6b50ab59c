// SPDX-License-Identifier: MIT
#include "qif/CQIFFile.h"

#include "platform/FileSystem.h"
#include "qif/AccountSelection.h"
#include "qif/QIFError.h"
#include "qif/QIFLines.h"
#include "statement/CLDXFile.h"

#include <new>

namespace qif2ldx::qif {

bool CQIFFile::OpenFile(const std::string& sQIFFilePath)
{
    platform::Result<platform::UniqueFd> file = platform::OpenRegularFile(sQIFFilePath);
    objFile_ = std::move(file.value);
    return objFile_ || Fail(FailureKind::CannotRead, {}, 0, file.reason);
}

bool CQIFFile::ConvertQIFtoLDX(const std::string& sLDXFilePath, const records::CAcctInfo& cAcctInf)
{
    return Guarded([&] {
        statement::CLDXFile objWriter(objMessages_, objProgramFolder_, objClock_);
        objWriter.SetProfile(*objOptions_.objProfile);
        if (const auto identity = platform::IdentityOf(objFile_.Get())) {
            objWriter.KeepFile(*identity); // the statement must never replace its own input
        }
        if (!objWriter.CreateFile(sLDXFilePath)) {
            return Settle(objWriter.Commit({})); // why it could not be created
        }
        static_cast<void>(objWriter.WriteOFXStandardInfo(cAcctInf));
        std::optional<QIFText> text = ReadText();
        const std::optional<ReadPlan> plan = text ? Plan(*text) : std::nullopt;
        if (!plan || !Read(
                         *text, *plan,
                         [&](records::CQIFTx& cTxn, std::int64_t, const std::string&) {
                             static_cast<void>(objWriter.WriteOFXTrans(cTxn, cAcctInf));
                         },
                         [&] { return objWriter.LastFitId(); })) {
            return false;
        }
        const std::uint64_t size = text->Text().size();
        text.reset(); // the statement needs the room more
        objWriter.InsertSTMTStartEndDate(cAcctInf, report_.sStartDate, report_.sEndDate);
        objWriter.InsertLEDGERBAL(cAcctInf, report_.sEndDate);
        static_cast<void>(objWriter.SaveFile()); // a failed save is Commit's to report
        return Settle(
            objWriter.Commit({objOptions_.bolReplace, objOptions_.bolPlace, objOptions_.objDeliver,
                              [this, size] { return Progress(size, size); }}));
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

std::optional<QIFText> CQIFFile::ReadText()
{
    platform::Result<std::string> bytes = platform::ReadFile(objFile_.Get(), kMaxQIFBytes);
    if (!bytes) {
        const bool bolTooLarge = bytes.reason.kind == platform::ReasonKind::TooLarge;
        Fail(bolTooLarge ? FailureKind::TooLarge : FailureKind::CannotRead, {}, 0, bytes.reason);
        return std::nullopt;
    }
    try {
        return QIFText(std::move(bytes.value));
    } catch (const OfxStatementError&) {
        Fail(FailureKind::OfxStatement);
    } catch (const QIFError& error) {
        Fail(FailureKind::NotText, error.what());
    }
    return std::nullopt;
}

bool CQIFFile::Collect(const QIFText& text, RecordSink& objSink, bool bolReports)
{
    const std::string_view body = text.Text();
    RecordCollector objCollector(objSink, text.Ends(), text.IsUtf8());
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
    NoteText(text, objLines.Ends(), report_);
    return !bolReports || Progress(body.size(), body.size()) || Fail(FailureKind::Stopped);
}

std::optional<ReadPlan> CQIFFile::Plan(const QIFText& text)
{
    AccountSurvey surveyed =
        SurveyAccount(text, objOptions_.dateOrder, {objOptions_.sQifAccount, objChooseAccount_},
                      [&](RecordSink& objSink) { return Collect(text, objSink, false); });
    if (!surveyed.survey) {
        failure_ = std::move(surveyed.failure);
        return std::nullopt;
    }
    ReadPlan plan = surveyed.survey->Plan();
    if (!plan.dates.bolFits) {
        Fail(FailureKind::BadText, plan.dates.failure.sReason, plan.dates.failure.line);
        return std::nullopt;
    }
    if (objChoose_) {
        const std::optional<DateChoice> choice = objChoose_(plan.dates);
        if (!choice) {
            // Declining a file that reads two ways is no fault of the file.
            if (plan.dates.bolAmbiguous) {
                Fail(FailureKind::Cancelled);
            } else {
                Fail(FailureKind::BadText, plan.dates.dayFirstFailure.sReason,
                     plan.dates.dayFirstFailure.line);
            }
            return std::nullopt;
        }
        if (choice->order != plan.dates.order) {
            plan = surveyed.survey->Plan(choice->order);
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
    const bool bolPlain = objOptions_.objProfile->bolPlainAmounts; // written with "."
    QIFRecords objRecords(text.IsUtf8(), objDates, report_,
                          objReview_.Sink(bolPlain ? '.' : plan.decimal.separator, objSink,
                                          std::move(objFitId), text.Text()));
    objRecords.SetAmounts(plan.decimal, bolPlain);
    objRecords.SetAccounts(plan.account, plan.accounts);
    objRecords.SetCharset(objOptions_.objProfile->sCharset,
                          objOptions_.objProfile->bolTransliterate);
    if (!Collect(text, objRecords, true)) {
        return false;
    }
    const ReviewEnd end = objReview_.Finish(report_);
    return end == ReviewEnd::Written ||
           Fail(end == ReviewEnd::Cancelled ? FailureKind::Cancelled : FailureKind::NothingNew);
}

} // namespace qif2ldx::qif
