// SPDX-License-Identifier: MIT
#pragma once

#include "app/AccountList.h"
#include "app/DateOrderMemory.h"
#include "app/HistoryReview.h"
#include "app/KeptHistory.h"
#include "platform/IClock.h"
#include "platform/IEnvironment.h"
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
    std::string sQIFName{}; // the QIF file in messages, when not its path ("standard input")
};

enum class RunResult
{
    Saved,       // the statement was saved
    Unreadable,  // the QIF file could not be opened or read: nothing was converted
    Failed,      // the conversion failed; sReason says why
    Refused,     // a statement file appeared at the path meanwhile and may not be replaced
    Interrupted, // stopped on request before the statement was finished
    Cancelled,   // the person converting declined a question (the dates, the repeats)
    NothingNew,  // every transaction was in earlier statements already: nothing was written
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
    // What the history held of the file: nullopt when the run did not look (no history).
    std::optional<RepeatReport> repeats;
    // What kept the history from being read or written, one sentence each.
    std::vector<std::string> historyTroubles;
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
    // Asked how the file's dates are read once it is surveyed (see CQIFFile), and told the
    // order kept for the account when the file reads two ways and nobody stated its order.
    using ChooseDateOrder = std::function<std::optional<qif::DateChoice>(
        const qif::DateDecision&, std::optional<qif::DateOrder> remembered)>;
    void SetChooseDateOrder(ChooseDateOrder objChoose) { objChoose_ = std::move(objChoose); }
    // Asked, for a file holding transactions of several QIF accounts, which to read (see
    // CQIFFile::SetChooseQifAccount); before the dates are asked about.
    void SetChooseQifAccount(qif::ChooseQifAccount objChoose)
    {
        objChooseAccount_ = std::move(objChoose);
    }
    // Where the orders chosen per account are kept; none when not set.
    void SetDateOrderMemory(const DateOrderMemory* objMemory) { objMemory_ = objMemory; }
    // The history the run reads, and records its statement in when its use is Record and the
    // statement takes its place; the policy for the transactions earlier statements hold, and
    // the questions that RepeatPolicy::Ask asks. None when not set.
    void SetHistory(KeptHistory* objHistory, RepeatPolicy policy,
                    const RepeatQuestions* objQuestions = nullptr)
    {
        objHistory_ = objHistory;
        policy_ = policy;
        objQuestions_ = objQuestions;
    }
    // The conversion-failure message gets the reason as a second paragraph, worded for the
    // dialog.
    void SetExplainFailures(bool bolExplain) { bolExplain_ = bolExplain; }
    // Called as the reading goes on; returning false interrupts the run.
    void SetProgress(qif::ProgressCallback objProgress) { objProgress_ = std::move(objProgress); }

    // Looks the account up, then converts. A failed conversion, or a QIF file that cannot be
    // read, shows the conversion-failure message naming the QIF path; any other error shows
    // "Conversion aborted due to error.". An interrupted or refused run shows nothing. Never
    // throws.
    ConversionOutcome Run(const ConversionInput& objInput);

private:
    void RunConversion(const ConversionInput& objInput, ConversionOutcome& objOutcome);
    // The history's look at the run, when there is a history to look in.
    [[nodiscard]] std::optional<HistoryReview> Review(const ConversionInput& objInput) const;

    platform::IMessages& objMessages_;
    const platform::IProgramFolder& objProgramFolder_;
    const platform::IClock& objClock_;
    qif::ConversionOptions objOptions_;
    ChooseDateOrder objChoose_;
    qif::ChooseQifAccount objChooseAccount_;
    const DateOrderMemory* objMemory_ = nullptr;
    KeptHistory* objHistory_ = nullptr;
    RepeatPolicy policy_ = RepeatPolicy::Warn;
    const RepeatQuestions* objQuestions_ = nullptr;
    bool bolExplain_ = false;
    std::function<void()> objPause_;
    qif::ProgressCallback objProgress_;
};

// The title of every message the program shows.
inline constexpr const char* kMessageTitle = "Lodestrand";

// True when the conversion failed for what the QIF file holds (no text, a date that is no real
// day), rather than for the disk, a permission or memory.
[[nodiscard]] bool IsFaultOfQif(const qif::ConversionFailure& failure);

// The message shown when a QIF file could not be converted: that errors were met converting it,
// then, where the QIF file is at fault, that it should be a valid QIF file, and otherwise the
// cause (sCause, FailureReason's words).
[[nodiscard]] std::string ConversionFailedMessage(const std::string& sQIFFilePath,
                                                  const qif::ConversionFailure& failure,
                                                  const std::string& sCause);

// How a text is begun: as a sentence of its own ("The dates …"), or inside a line that another
// text begins ("qif2ldx: note: the dates …").
enum class Start
{
    Sentence,
    Inside
};

// The order the dates were found in: "The dates in this file are month first: line 7 reads
// D03/24/2015 (24 March 2015)." or, for an "!Option:" line, "…: line 1 says !Option:MDY."
[[nodiscard]] std::string DescribeDateDecision(const qif::DateDecision& decision, Start start);

// The choice where nobody is asked: the order kept for the account (remembered, when the file
// reads two ways and it reads them all); otherwise, for a file that reads two ways and whose
// order nobody stated, the order the user's locale writes dates in when that reads the file;
// otherwise what the survey decided.
[[nodiscard]] qif::DateChoice UnaskedDateChoice(const qif::DateDecision& decision,
                                                std::optional<qif::DateOrder> remembered,
                                                qif::DateOrder localeOrder);

// The order the user's locale (LC_ALL, else LC_TIME, else LANG) writes dates in: month first
// where its date format puts the month first, day first otherwise (the C locale included).
[[nodiscard]] qif::DateOrder LocaleDateOrder(const platform::IEnvironment& objEnvironment);

// The order kept for the account, when the file reads two ways, nobody stated its order and the
// kept order reads it; nullopt otherwise, and without a memory.
[[nodiscard]] std::optional<qif::DateOrder> RememberedOrder(const DateOrderMemory* objMemory,
                                                            const qif::DateDecision& decision,
                                                            const std::string& sAccount);

// The orders that read a file's every date, in the order they are offered: the one decided
// and the others, day first before month first before year first.
[[nodiscard]] std::vector<qif::DateOrder> ReadingOrders(const qif::DateDecision& decision);

// Why a conversion failed, in a few words: "line 4: \"D01/13/2020\" is not a day-first date",
// "the statement could not be written in full to May.LDX (is the disk full?)". Empty for a run
// that was stopped. sQIFName names the QIF file, sStatement the statement path.
[[nodiscard]] std::string FailureReason(const qif::ConversionFailure& failure,
                                        const std::string& sQIFName, const std::string& sStatement,
                                        Start start);

} // namespace qif2ldx::app
