// SPDX-License-Identifier: MIT
#include "app/ConversionRun.h"

#include "app/AccountList.h"

namespace qif2ldx::app {

std::string ConversionFailedMessage(const std::string& sQIFFilePath)
{
    return "Errors were encountered whilst attempting to convert: " + sQIFFilePath + "." +
           " Please ensure that this file is a valid QIF file.";
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
        objOutcome.bolAccountListRead =
            LoadAccountInfo(objInput.sOLAccntListFile, objInput.sAcctName, objOutcome.cAcctInf);
        if (objPause_) {
            objPause_();
        }
        objOutcome.bolConverted = RunConversion(objInput, objOutcome);
    } catch (const std::exception&) {
        objOutcome.bolAborted = true;
        static_cast<void>(objMessages_.Show(kMessageTitle, "Conversion aborted due to error.",
                                            platform::MessageKind::Information));
    }
    return objOutcome;
}

bool ConversionRun::RunConversion(const ConversionInput& objInput, ConversionOutcome& objOutcome)
{
    qif::CQIFFile objQIF(objMessages_, objProgramFolder_, objClock_);
    objQIF.SetProgress(objProgress_);
    bool ok = objQIF.OpenFile(objInput.sQIFFilePath);
    if (ok) {
        ok = objQIF.ConvertQIFtoLDX(objInput.sLDXFilePath, objOutcome.cAcctInf);
    }
    objOutcome.stats = objQIF.Statistics();
    if (!ok && !objInput.sQIFFilePath.empty()) {
        static_cast<void>(objMessages_.Show(kMessageTitle,
                                            ConversionFailedMessage(objInput.sQIFFilePath),
                                            platform::MessageKind::Information));
    }
    return ok;
}

} // namespace qif2ldx::app
