// SPDX-License-Identifier: MIT
#include "app/ConversionRun.h"

#include "app/AccountList.h"

#include <cctype>

namespace qif2ldx::app {

std::string ConversionFailedMessage(const std::string& sQIFFilePath)
{
    return "Errors were encountered whilst attempting to convert: " + sQIFFilePath + "." +
           " Please ensure that this file is a valid QIF file.";
}

std::string DescribeDateDecision(const qif::DateDecision& decision)
{
    return std::string("The dates in this file are ") + qif::DateOrderName(decision.order) +
           ": line " + std::to_string(decision.line) + " reads " + decision.sLine + " (" +
           qif::DescribeDate(decision.sDate) + ").";
}

ConversionRun::ConversionRun(platform::IMessages& objMessages,
                             const platform::IProgramFolder& objProgramFolder,
                             const platform::IClock& objClock)
    : objMessages_(objMessages), objProgramFolder_(objProgramFolder), objClock_(objClock)
{}

ConversionOutcome ConversionRun::Run(const ConversionInput& objInput)
{
    ConversionOutcome objOutcome;
    try {
        objOutcome.account =
            LookUpAccount(objInput.sOLAccntListFile, objInput.sAcctName, objOutcome.cAcctInf);
        if (objPause_) {
            objPause_();
        }
        RunConversion(objInput, objOutcome);
    } catch (const std::exception& error) {
        objOutcome.result = RunResult::Aborted;
        objOutcome.sReason = error.what();
        static_cast<void>(objMessages_.Show(kMessageTitle, "Conversion aborted due to error.",
                                            platform::MessageKind::Information));
    }
    return objOutcome;
}

void ConversionRun::RunConversion(const ConversionInput& objInput, ConversionOutcome& objOutcome)
{
    qif::CQIFFile objQIF(objMessages_, objProgramFolder_, objClock_);
    objQIF.SetProgress(objProgress_);
    objQIF.SetOptions(objOptions_);
    objQIF.SetConfirmDateOrder(objConfirm_);
    const bool ok = objQIF.OpenFile(objInput.sQIFFilePath, objInput.sQIFName) &&
                    objQIF.ConvertQIFtoLDX(objInput.sLDXFilePath, objOutcome.cAcctInf);
    objOutcome.report = objQIF.Report();
    objOutcome.failure = objQIF.Failure().kind;
    objOutcome.sReason = objQIF.Failure().sReason;
    if (ok) {
        objOutcome.result = RunResult::Saved;
        return;
    }
    if (objOutcome.failure == qif::FailureKind::Stopped) {
        objOutcome.result = RunResult::Interrupted;
        return;
    }
    if (objOutcome.failure == qif::FailureKind::StatementExists) {
        objOutcome.result = RunResult::Refused;
        return;
    }
    objOutcome.result = RunResult::Failed;
    if (!objInput.sQIFFilePath.empty()) {
        std::string sText = ConversionFailedMessage(
            objInput.sQIFName.empty() ? objInput.sQIFFilePath : objInput.sQIFName);
        if (bolExplain_ && !objOutcome.sReason.empty()) {
            std::string sReason = objOutcome.sReason;
            sReason.front() =
                static_cast<char>(std::toupper(static_cast<unsigned char>(sReason.front())));
            sText += "\r\n\r\n" + sReason;
        }
        static_cast<void>(
            objMessages_.Show(kMessageTitle, sText, platform::MessageKind::Information));
    }
}

} // namespace qif2ldx::app
