// SPDX-License-Identifier: MIT
#pragma once

#include "platform/File.h"
#include "platform/IClock.h"
#include "platform/IMessages.h"
#include "platform/IProgramFolder.h"
#include "qif/ConversionFailure.h"
#include "qif/QIFRecords.h"
#include "qif/QIFText.h"
#include "qif/ReadSurvey.h"
#include "qif/TransactionReview.h"
#include "records/CAcctInfo.h"
#include "statement/Commit.h"
#include "statement/StatementProfile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace qif2ldx::qif {

// The largest QIF file read: bank downloads are a few hundred kilobytes, and a file of 1 GiB
// already makes a statement tree of some 20 GiB.
inline constexpr std::uint64_t kMaxQIFBytes = std::uint64_t{1} << 30;

// How a conversion treats the statement path.
struct ConversionOptions
{
    bool bolReplace = false; // a statement file already at the path may be replaced
    bool bolPlace = true;    // false: the finished statement is built and checked, then dropped
    // Every date read in this order, whatever the file says; without one, day first, or the
    // order the file's dates and "!Option:" lines show when some date is no real day read day
    // first.
    std::optional<DateOrder> dateOrder;
    // Only the records of the QIF account of this name ("!Account" block; letter case and the
    // blanks at either end aside); without one, those of every account, or of the one the
    // chooser picks.
    std::optional<std::string> sQifAccount;
    // Handed the verified statement's bytes, a piece at a time, instead of placing it (standard
    // output, say); false fails the conversion.
    std::function<bool(std::string_view)> objDeliver;
    // The statement's rules; never null.
    const statement::StatementProfile* objProfile = &statement::kLodestrandProfile;
};

// How the dates of a file are to be read: the order of those no "!Option:" line governs, and
// who settled it.
struct DateChoice
{
    DateOrder order = DateOrder::DayFirst;
    DateSource source = DateSource::File;
};

// Told how far the reading has come; returns false to stop the conversion.
using ProgressCallback = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// Reads one QIF file, whole, and converts it into one statement file: surveys its text for how
// to read it (the order of the dates, the decimal separator), then reads its records in one
// pass, collecting each transaction's date, amount, number, payee and memo, tracking the
// statement period and driving the statement writer. Owns the open file.
class CQIFFile
{
public:
    CQIFFile(platform::IMessages& objMessages, const platform::IProgramFolder& objProgramFolder,
             const platform::IClock& objClock)
        : objMessages_(objMessages), objProgramFolder_(objProgramFolder), objClock_(objClock)
    {}

    // Opens the QIF file for reading. False for an empty path, a missing file, anything that is
    // not a regular file, or a file that cannot be opened, after which Failure() says why
    // (CannotRead); nothing is created. Never throws.
    [[nodiscard]] bool OpenFile(const std::string& sQIFFilePath);
    // Converts the open file into the statement at sLDXFilePath for the account. True only when
    // the statement was saved whole at its path; false on every failure, after which Failure()
    // says why and the path holds what it held before. Shows nothing and never throws.
    [[nodiscard]] bool ConvertQIFtoLDX(const std::string& sLDXFilePath,
                                       const records::CAcctInfo& cAcctInf);

    void SetOptions(const ConversionOptions& objOptions) { objOptions_ = objOptions; }
    // Told, once the text is surveyed, how its dates would be read, and asked how they are to
    // be: the order of the dates no "!Option:" line governs (one that reads them all), and who
    // settled it. nullopt stops the conversion: Cancelled for a file that reads two ways, and
    // as a day-first reading would fail otherwise. Without it, the survey's decision holds.
    void SetChooseDateOrder(std::function<std::optional<DateChoice>(const DateDecision&)> objChoose)
    {
        objChoose_ = std::move(objChoose);
    }
    // Asked, once the text is surveyed and before the dates are asked about, which account of a
    // file holding transactions of several to read (not when ConversionOptions names one); that
    // account's records are then surveyed alone. nullopt stops the conversion (Cancelled).
    // Without it, all are read.
    void SetChooseQifAccount(ChooseQifAccount objChoose)
    {
        objChooseAccount_ = std::move(objChoose);
    }
    // Asked once the records are read and before the first transaction is written which to
    // leave out (see TransactionReview); nullopt stops the conversion (Cancelled), and leaving
    // every one out fails it (NothingNew). Without it, each transaction is written as it is
    // read.
    void SetReview(ReviewCallback objReview) { objReview_.SetCallback(std::move(objReview)); }
    // The transactions the last review saw, those written with their FITIDs; empty without one.
    [[nodiscard]] const std::vector<ReviewedTx>& Reviewed() const
    {
        return objReview_.Transactions();
    }
    // Reads the open file as ConvertQIFtoLDX does, handing each transaction to the sink instead
    // of a statement (after the review, which then leaves nothing out). False on every failure.
    // Never throws.
    [[nodiscard]] bool Preview(const QIFRecords::Sink& objSink);

    // Called now and then while lines are read, and once more before the statement takes its
    // place; returning false stops the conversion (failure).
    void SetProgress(ProgressCallback objProgress) { objProgress_ = std::move(objProgress); }
    // What the last conversion read, and why it failed.
    [[nodiscard]] const ReadReport& Report() const { return report_; }
    [[nodiscard]] const ConversionFailure& Failure() const { return failure_; }

private:
    // How many bytes go by between two progress reports.
    static constexpr std::uint64_t kProgressStep = 1 << 20;

    bool Fail(FailureKind kind, std::string sReason = {}, std::int64_t line = 0,
              platform::Reason reason = {})
    {
        failure_ = {kind, line, std::move(sReason), reason};
        return false;
    }
    // Resets the results, then runs objRun with every error turned into a failure.
    bool Guarded(const std::function<bool()>& objRun);
    // The open file's text; nullopt (after Fail) when it cannot be read or is not text.
    std::optional<QIFText> ReadText();
    // Surveys the text and settles how it is read, asking where the dates are not day first;
    // nullopt after Fail.
    std::optional<ReadPlan> Plan(const QIFText& text);
    // Reads the text's records into the sink as planned, through the review; false after Fail.
    bool Read(const QIFText& text, const ReadPlan& plan, const QIFRecords::Sink& objSink,
              std::function<std::string()> objFitId = {});
    // Hands every record of the text to the sink; false when the progress callback stopped it.
    bool Collect(const QIFText& text, RecordSink& objSink, bool bolReports);
    // The failure for how the statement's file ended; true when it was committed.
    bool Settle(const statement::CommitResult& committed)
    {
        failure_ = FailureOfCommit(committed);
        return failure_.kind == FailureKind::None;
    }
    bool Progress(std::uint64_t done, std::uint64_t total) const
    {
        return !objProgress_ || objProgress_(done, total);
    }

    platform::IMessages& objMessages_;
    const platform::IProgramFolder& objProgramFolder_;
    const platform::IClock& objClock_;
    platform::UniqueFd objFile_;
    std::function<std::optional<DateChoice>(const DateDecision&)> objChoose_;
    ChooseQifAccount objChooseAccount_;
    ProgressCallback objProgress_;
    TransactionReview objReview_;
    ConversionOptions objOptions_;
    ReadReport report_;
    ConversionFailure failure_;
};

} // namespace qif2ldx::qif
