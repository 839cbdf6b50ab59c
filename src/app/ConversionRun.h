// SPDX-License-Identifier: MIT
#pragma once

#include "app/CAcctInfo.h"
#include "platform/IClock.h"
#include "platform/IMessages.h"
#include "platform/IProgramFolder.h"
#include "qif/CQIFFile.h"

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
};

struct ConversionOutcome
{
    bool bolAccountListRead = false; // the whole account list was read
    CAcctInfo cAcctInf;              // the account the statement was written for
    bool bolConverted = false;       // the statement was saved
    bool bolAborted = false;         // an unexpected error ended the run
    qif::ConversionStatistics stats;
};

// One conversion run, shared by the progress window and the command line: the account look-up,
// then the conversion, telling the user through the message interface when it fails.
class ConversionRun
{
public:
    ConversionRun(platform::IMessages& objMessages,
                  const platform::IProgramFolder& objProgramFolder,
                  const platform::IClock& objClock);

    // Called between the look-up and the conversion (the dialog's pause).
    void SetPause(std::function<void()> objPause) { objPause_ = std::move(objPause); }
    void SetProgress(qif::ProgressCallback objProgress) { objProgress_ = std::move(objProgress); }

    // Looks the account up, then converts. A failed conversion shows the conversion-failure
    // message naming the QIF path; any other error shows "Conversion aborted due to error.".
    // Never throws.
    ConversionOutcome Run(const ConversionInput& objInput);

private:
    bool RunConversion(const ConversionInput& objInput, ConversionOutcome& objOutcome);

    platform::IMessages& objMessages_;
    const platform::IProgramFolder& objProgramFolder_;
    const platform::IClock& objClock_;
    std::function<void()> objPause_;
    qif::ProgressCallback objProgress_;
};

// The title of every message the program shows.
inline constexpr const char* kMessageTitle = "Lodestrand";

// The message shown when a QIF file could not be converted.
[[nodiscard]] std::string ConversionFailedMessage(const std::string& sQIFFilePath);

} // namespace qif2ldx::app
