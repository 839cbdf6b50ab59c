// SPDX-License-Identifier: MIT
#pragma once

#include "platform/File.h"
#include "platform/IClock.h"
#include "platform/IMessages.h"
#include "platform/IProgramFolder.h"
#include "qif/QIFRecords.h"
#include "qif/QIFText.h"
#include "records/CAcctInfo.h"
#include "statement/StatementProfile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace qif2ldx::statement {
class CLDXFile;
}

namespace qif2ldx::qif {

// Why a conversion failed.
enum class FailureKind
{
    None,
    NotOpen,               // no QIF file was opened
    CannotCreateStatement, // the statement file could not be created
    CannotRead,            // the QIF file could not be read
    BadText,               // the QIF text cannot be converted (the reason names the line)
    Stopped,               // the progress callback stopped the run
    CannotSave,            // the finished statement could not be written
    NotAsWritten,          // the statement read back differs from what was written
    StatementExists,       // a statement file appeared at the path and may not be replaced
    CannotPlace,           // the finished statement could not be put at its path
    OutOfMemory,           // there was not enough memory
    Unexpected             // any other error
};

struct ConversionFailure
{
    FailureKind kind = FailureKind::None;
    std::string sReason; // for the user, in a few words; empty for Stopped
};

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
    // Called with the verified working file instead of placing it (standard output, say);
    // false fails the conversion.
    std::function<bool(const std::string& sWorkingFile)> objDeliver;
    // The statement's rules; never null.
    const statement::StatementProfile* objProfile = &statement::kLodestrandProfile;
};

// Told how far the reading has come; returns false to stop the conversion.
using ProgressCallback = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// Reads one QIF file, whole, and converts it into one statement file: splits it into lines,
// collects each transaction's date, amount, number, payee and memo, normalises day-first dates
// to yyyymmdd, tracks the statement period and drives the statement writer. Owns the open file.
class CQIFFile
{
public:
    CQIFFile(platform::IMessages& objMessages, const platform::IProgramFolder& objProgramFolder,
             const platform::IClock& objClock);

    // Opens the QIF file for reading. False for an empty path, a missing file, anything that is
    // not a regular file, or a file that cannot be opened; nothing is created. Never throws.
    // sName is the file's name in messages (the path when empty).
    [[nodiscard]] bool OpenFile(const std::string& sQIFFilePath, const std::string& sName = {});
    // Converts the open file into the statement at sLDXFilePath for the account. True only when
    // the statement was saved whole at its path; false on every failure, after which Failure()
    // says why and the path holds what it held before. Shows nothing and never throws.
    [[nodiscard]] bool ConvertQIFtoLDX(const std::string& sLDXFilePath,
                                       const records::CAcctInfo& cAcctInf);

    void SetOptions(const ConversionOptions& objOptions) { objOptions_ = objOptions; }
    // Asked before the dates are read in another order than day first; false fails the
    // conversion as a day-first reading would.
    void SetConfirmDateOrder(std::function<bool(const DateDecision&)> objConfirm)
    {
        objConfirm_ = std::move(objConfirm);
    }
    // Reads the open file as ConvertQIFtoLDX does, handing each transaction to the sink instead
    // of a statement; objRestart is called when the reading begins again from the start (the
    // dates turned out not to be day first). False on every failure. Never throws.
    [[nodiscard]] bool Preview(const QIFRecords::Sink& objSink,
                               const std::function<void()>& objRestart);

    // Called now and then while lines are read, and once more before the statement takes its
    // place; returning false stops the conversion (failure).
    void SetProgress(ProgressCallback objProgress) { objProgress_ = std::move(objProgress); }
    // What the last conversion read, and why it failed.
    [[nodiscard]] const ReadReport& Report() const { return report_; }
    [[nodiscard]] const ConversionFailure& Failure() const { return failure_; }

private:
    bool Fail(FailureKind kind, std::string sReason);
    // A new statement writer with its working file and the fixed head; nullptr when the file
    // cannot be created.
    std::unique_ptr<statement::CLDXFile> StartStatement(const std::string& sLDXFilePath,
                                                        const records::CAcctInfo& cAcctInf);
    // The open file's text; nullopt (after Fail) when it cannot be read or is not text.
    std::optional<QIFText> ReadText();
    // Finds the order of the file's dates, asks for it, and sets the plan; false after Fail.
    bool DecideDates(const QIFText& text, DatePlan& plan);
    // Resets the results, then runs objRun with every error turned into a failure.
    bool Guarded(const std::function<bool()>& objRun);
    // Reads the whole text into the sink with the plan, deciding the order of its dates first
    // where it must (then objRestart, which may Fail); false after Fail.
    bool ReadFile(const QIFText& text, const QIFRecords::Sink& objSink,
                  const std::function<bool()>& objRestart, DatePlan& plan,
                  const ProgressCallback& objProgress);
    // Reads the text's lines into the sink; false when the progress callback stopped it.
    bool ReadTransactions(const QIFText& text, const QIFRecords::Sink& objSink,
                          const DatePlan& plan, const ProgressCallback& objProgress);
    // For a profile of plain amounts: reads the text once, writing nothing, for the decimal
    // separator its amounts show (and the order of its dates). False after Fail.
    bool SurveyAmounts(const QIFText& text, DatePlan& plan);
    // The plan a reading starts with: the order given, or day first until a date says not.
    [[nodiscard]] DatePlan FirstPlan() const;
    // The period, the balance, the save and the placement.
    bool FinishStatement(statement::CLDXFile& objWriter, const std::string& sLDXFilePath,
                         const records::CAcctInfo& cAcctInf, std::uint64_t size);
    bool Place(statement::CLDXFile& objWriter, const std::string& sLDXFilePath);

    platform::IMessages& objMessages_;
    const platform::IProgramFolder& objProgramFolder_;
    const platform::IClock& objClock_;
    platform::UniqueFd objFile_;
    std::string sQIFFilePath_;
    std::function<bool(const DateDecision&)> objConfirm_;
    ProgressCallback objProgress_;
    ConversionOptions objOptions_;
    ReadReport report_;
    ConversionFailure failure_;
    std::optional<char> plainSeparator_; // amounts are made plain decimals read with it
};

} // namespace qif2ldx::qif
