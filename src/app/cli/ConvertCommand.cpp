// SPDX-License-Identifier: MIT
#include "app/cli/ConvertCommand.h"

#include "app/AccountList.h"
#include "app/ConversionRun.h"
#include "app/HandOff.h"
#include "app/InputCheck.h"
#include "app/MainModule.h"
#include "platform/StderrMessages.h"

#include <chrono>
#include <ostream>

namespace qif2ldx::app::cli {
namespace {

// A bar on the terminal for runs that take longer than a moment.
class ProgressBar
{
public:
    ProgressBar(std::ostream& objErr, bool bolEnabled) : objErr_(objErr), bolEnabled_(bolEnabled) {}
    ~ProgressBar() { Clear(); }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void Show(std::uint64_t done, std::uint64_t total)
    {
        using namespace std::chrono;
        const auto now = steady_clock::now();
        if (!bolEnabled_ || now - start_ < milliseconds(300) || total == 0) {
            return;
        }
        constexpr int kWidth = 30;
        const auto filled = static_cast<int>(done * kWidth / total);
        objErr_ << "\r" << kProgram << ": converting [" << std::string(filled, '#')
                << std::string(kWidth - filled, ' ') << "] " << done * 100 / total << "%"
                << std::flush;
        drawn_ = true;
    }

    void Clear()
    {
        if (drawn_) {
            objErr_ << "\r" << std::string(60, ' ') << "\r" << std::flush;
            drawn_ = false;
        }
    }

private:
    std::ostream& objErr_;
    bool bolEnabled_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

std::string Plural(std::int64_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The input checks, worded for a terminal. Empty when the input passes.
std::string Refusal(const ConvertOptions& objOptions, const std::string& sOutput)
{
    switch (CheckConversionInput(objOptions.sQIFFile, sOutput, objOptions.sAccount,
                                 objOptions.bolOverwrite)) {
    case InputCheck::Passed:
        return {};
    case InputCheck::QifNotAFile:
        return "the QIF file does not exist or is not a regular file: " + objOptions.sQIFFile;
    case InputCheck::QifTooLarge:
        return "the QIF file is larger than 1 GiB: " + objOptions.sQIFFile;
    case InputCheck::BadStatementName:
        return "the statement file must be named *.LDX or *.ldx: " + sOutput;
    case InputCheck::StatementIsQif:
        return "the statement file is the QIF file itself: " + Trim(sOutput);
    case InputCheck::StatementExists:
        return "the statement file already exists (--overwrite replaces it): " + Trim(sOutput);
    case InputCheck::NoAccount:
        return "the account name is empty";
    }
    return {};
}

void WarnAboutAccount(const ConversionOutcome& objOutcome, const std::string& sName,
                      const std::string& sList, std::ostream& err)
{
    switch (objOutcome.account) {
    case AccountLookup::Found:
        return;
    case AccountLookup::ListUnreadable:
        err << kProgram << ": warning: cannot read the account list " << sList
            << "; the statement has empty account fields\n";
        return;
    case AccountLookup::IncompleteLine:
        err << kProgram << ": warning: the line for account \"" << sName << "\" in " << sList
            << " has fewer than six fields; the missing ones are empty\n";
        return;
    case AccountLookup::NotListed:
        err << kProgram << ": warning: account \"" << sName << "\" is not in the account list "
            << sList << "; the statement has empty account fields\n";
        return;
    }
}

// What a saved statement holds: warnings on stderr, the result line on stdout.
void ReportSaved(const qif::ReadReport& report, const std::string& sStatement,
                 const CommandLineContext& objContext)
{
    std::ostream& err = objContext.objErr;
    if (report.dropped > 0) {
        err << kProgram << ": warning: "
            << Plural(report.dropped, "record without a date or an amount was",
                      "records without a date or an amount were")
            << " not written\n";
    }
    if (report.bolUnterminatedRecord) {
        err << kProgram << ": warning: the file ends inside a record that no \"^\" closes; "
            << "it was not written\n";
    }
    if (report.bolUnterminatedWritten) {
        err << kProgram << ": warning: the last record has no closing \"^\"; it was written all "
            << "the same\n";
    }
    if (report.accounts.size() > 1) {
        std::string sNames;
        for (const std::string& sName : report.accounts) {
            sNames += (sNames.empty() ? "" : ", ") + sName;
        }
        err << kProgram << ": warning: the file holds transactions of " << report.accounts.size()
            << " accounts (" << sNames << "); all are written to this one statement\n";
    }
    if (report.written == 0) {
        err << kProgram << ": warning: the file holds no transaction with a date and an amount; "
            << "the statement is empty\n";
    }
    objContext.objOut << "Wrote " << Plural(report.written, "transaction", "transactions");
    if (!report.sStartDate.empty()) {
        objContext.objOut << " (" << report.sStartDate << " to " << report.sEndDate << ")";
    }
    objContext.objOut << " to " << sStatement << "\n";
}

std::optional<qif::DateOrder> DateOrderOption(const std::string& sOrder)
{
    if (sOrder == "dmy") {
        return qif::DateOrder::DayFirst;
    }
    if (sOrder == "mdy") {
        return qif::DateOrder::MonthFirst;
    }
    if (sOrder == "ymd") {
        return qif::DateOrder::YearFirst;
    }
    return std::nullopt;
}

ConversionOutcome RunWithProgress(const ConversionInput& objInput, const ConvertOptions& objOptions,
                                  platform::IMessages& objMessages,
                                  const CommandLineContext& objContext)
{
    ConversionRun objRun(objMessages, objContext.objProgramFolder, objContext.objClock);
    qif::ConversionOptions objConversion;
    objConversion.bolReplace = objOptions.bolOverwrite;
    objConversion.dateOrder = DateOrderOption(objOptions.sDateOrder);
    objRun.SetOptions(objConversion);
    // Nobody is asked on a terminal: the order the file shows is taken, and said.
    objRun.SetConfirmDateOrder([&objContext](const qif::DateDecision& decision) {
        std::string sNote = DescribeDateDecision(decision);
        sNote.front() = 't';
        objContext.objErr << kProgram << ": note: " << sNote << "\n";
        return true;
    });
    ProgressBar objBar(objContext.objErr, objContext.bolErrIsTerminal);
    objRun.SetProgress([&](std::uint64_t done, std::uint64_t total) {
        if (objContext.objInterrupt != nullptr && objContext.objInterrupt->load() != 0) {
            return false;
        }
        objBar.Show(done, total);
        return true;
    });
    return objRun.Run(objInput);
}

} // namespace

int RunConvert(const ConvertOptions& objOptions, const CommandLineContext& objContext)
{
    std::ostream& err = objContext.objErr;
    const std::string sOutput = objOptions.sOutput.empty()
                                    ? GetPathBeforeExtension(Trim(objOptions.sQIFFile)) + "LDX"
                                    : objOptions.sOutput;
    if (const std::string sWhy = Refusal(objOptions, sOutput); !sWhy.empty()) {
        err << kProgram << ": error: " << sWhy << "\n";
        return kExitRefused;
    }
    const std::string sList = ResolveAccountList(
        objOptions.sAccountList, objContext.objProgramFolder, objContext.objEnvironment);
    const std::string sStatement = Trim(sOutput);
    platform::StderrMessages objMessages(err, kProgram);
    const ConversionOutcome objOutcome =
        RunWithProgress({Trim(objOptions.sQIFFile), sStatement, objOptions.sAccount, sList},
                        objOptions, objMessages, objContext);
    WarnAboutAccount(objOutcome, Trim(objOptions.sAccount), sList, err);
    switch (objOutcome.result) {
    case RunResult::Interrupted:
        err << kProgram << ": interrupted; the statement was not finished: " << sStatement << "\n";
        return kExitInterrupted;
    case RunResult::Refused:
        err << kProgram << ": error: " << objOutcome.sReason << "\n";
        return kExitRefused;
    case RunResult::Failed:
    case RunResult::Aborted:
        if (!objOutcome.sReason.empty()) {
            err << kProgram << ": " << objOutcome.sReason << "\n";
        }
        return kExitFailed;
    case RunResult::Saved:
        break;
    }
    ReportSaved(objOutcome.report, sStatement, objContext);
    if (objOptions.bolOpen) {
        if (objContext.objAssociation == nullptr || objContext.objStarter == nullptr) {
            err << kProgram << ": warning: --open is not available here\n";
        } else {
            static_cast<void>(HandOffStatement(
                objOptions.sQIFFile, sOutput,
                {objMessages, *objContext.objAssociation, *objContext.objStarter, nullptr}));
        }
    }
    return kExitSaved;
}

} // namespace qif2ldx::app::cli
