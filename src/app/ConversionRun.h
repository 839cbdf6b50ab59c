// SPDX-License-Identifier: MIT
#pragma once

#include "app/AccountList.h"
#include "platform/IClock.h"
#include "platform/IMessages.h"
#include "platform/IProgramFolder.h"
#include "qif/CQIFFile.h"
#include "records/CAcctInfo.h"

#include <functional>
#include <string>

namespace qif2ldx::app {

// What one run needs: the texts as the user gave them, untrimmed.
struct ConversionInput
{
    std::string sQIFFilePath;
    std::string sLDXFilePath;
    std::string sAcctName;
    std::string sOLAccntListFile;
    std::string sQIFName; // the QIF file in messages, when not its path ("standard input")
};

enum class RunResult
{
    Saved,       // the statement was saved
    Failed,      // the conversion failed; sReason says why
    Refused,     // a statement file appeared at the path meanwhile and may not be replaced
    Interrupted, // stopped on request before the statement was finished
    Aborted      // an unexpected error ended the run
};

// Everything a front end reports about one run.
struct ConversionOutcome
{
    RunResult result = RunResult::Failed;
    AccountLookup account = AccountLookup::ListUnreadable;
    records::CAcctInfo cAcctInf; // the account the statement was written for
    qif::ReadReport report;      // what the QIF file held
    qif::ConversionFailure failure;
    std::string sReason; // why the run failed, in FailureReason's words; may be empty
};

// One conversion run, shared by the progress window and the command line: the account look-up,
// then the conversion, telling the user through the message interface when it fails.
class ConversionRun
{
public:
    ConversionRun(platform::IMessages& objMessages,
                  const platform::IProgramFolder& objProgramFolder,
                  const platform::IClock& objClock);

    void SetOptions(const qif::ConversionOptions& objOptions) { objOptions_ = objOptions; }
    // Called between the look-up and the conversion (the dialog's pause).
    void SetPause(std::function<void()> objPause) { objPause_ = std::move(objPause); }
    // Asked before the dates are read in another order than day first; false fails the run.
    void SetConfirmDateOrder(std::function<bool(const qif::DateDecision&)> objConfirm)
    {
        objConfirm_ = std::move(objConfirm);
    }
    // The conversion-failure message gets the reason as a second paragraph (the dialog's).
    void SetExplainFailures(bool bolExplain) { bolExplain_ = bolExplain; }
    // Called as the reading goes on; returning false interrupts the run.
    void SetProgress(qif::ProgressCallback objProgress) { objProgress_ = std::move(objProgress); }

    // Looks the account up, then converts. A failed conversion shows the conversion-failure
    // message naming the QIF path; any other error shows "Conversion aborted due to error.".
    // An interrupted or refused run shows nothing. Never throws.
    ConversionOutcome Run(const ConversionInput& objInput);

private:
    void RunConversion(const ConversionInput& objInput, ConversionOutcome& objOutcome);

    platform::IMessages& objMessages_;
    const platform::IProgramFolder& objProgramFolder_;
    const platform::IClock& objClock_;
    qif::ConversionOptions objOptions_;
    std::function<bool(const qif::DateDecision&)> objConfirm_;
    bool bolExplain_ = false;
    std::function<void()> objPause_;
    qif::ProgressCallback objProgress_;
};

// The title of every message the program shows.
inline constexpr const char* kMessageTitle = "Lodestrand";

// The message shown when a QIF file could not be converted.
[[nodiscard]] std::string ConversionFailedMessage(const std::string& sQIFFilePath);

// How a text is begun: as a sentence of its own ("The dates …"), or inside a line that another
// text begins ("qif2ldx: note: the dates …").
enum class Start
{
    Sentence,
    Inside
};

// The order the dates were found in: "The dates in this file are month first: line 7 reads
// D03/24/2015 (24 March 2015)."
[[nodiscard]] std::string DescribeDateDecision(const qif::DateDecision& decision, Start start);

// Why a conversion failed, in a few words: "line 4: \"D01/13/2020\" is not a day-first date",
// "the statement could not be written in full to May.LDX (is the disk full?)". Empty for a run
// that was stopped. sQIFName names the QIF file, sStatement the statement path.
[[nodiscard]] std::string FailureReason(const qif::ConversionFailure& failure,
                                        const std::string& sQIFName, const std::string& sStatement,
                                        Start start);

} // namespace qif2ldx::app
