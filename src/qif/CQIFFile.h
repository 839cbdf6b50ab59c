// SPDX-License-Identifier: MIT
#pragma once

#include "app/CAcctInfo.h"
#include "platform/IClock.h"
#include "platform/IMessages.h"
#include "platform/IProgramFolder.h"

#include <cstdint>
#include <functional>
#include <string>

namespace qif2ldx::qif {

// What a conversion found, for a caller that wants to tell the user more than yes or no.
struct ConversionStatistics
{
    std::int64_t lngWritten = 0; // transactions written to the statement
    std::int64_t lngDropped = 0; // transaction records closed by "^" without a date or amount
    bool bolUnterminatedRecord = false; // the file ended inside a record, which was not written
    std::string sStartDate;             // yyyymmdd, empty when no date line was read
    std::string sEndDate;
    std::string sFailure; // why the QIF text could not be converted, with its line
};

// Told how far the reading has come; returns false to stop the conversion.
using ProgressCallback = std::function<bool(std::uint64_t lngDone, std::uint64_t lngTotal)>;

// Reads one QIF file, whole, and converts it into one statement file: splits it into lines,
// collects each transaction's date, amount, number, payee and memo, normalises day-first dates
// to yyyymmdd, tracks the statement period and drives the statement writer. Owns the open file.
class CQIFFile
{
public:
    CQIFFile(platform::IMessages& objMessages, const platform::IProgramFolder& objProgramFolder,
             const platform::IClock& objClock);
    ~CQIFFile();
    CQIFFile(const CQIFFile&) = delete;
    CQIFFile& operator=(const CQIFFile&) = delete;

    // Opens the QIF file for reading. False for an empty path, a missing file, anything that is
    // not a regular file, or a file that cannot be opened; nothing is created. Never throws.
    [[nodiscard]] bool OpenFile(const std::string& sQIFFilePath);
    // Converts the open file into the statement at sLDXFilePath for the account. True only when
    // the statement was saved; false on every failure, after which the statement path may hold
    // an unfinished file. Shows nothing and never throws.
    [[nodiscard]] bool ConvertQIFtoLDX(const std::string& sLDXFilePath,
                                       const app::CAcctInfo& cAcctInf);

    // Called now and then while lines are read; returning false stops the conversion (failure).
    void SetProgress(ProgressCallback objProgress) { objProgress_ = std::move(objProgress); }
    [[nodiscard]] const ConversionStatistics& Statistics() const { return stats_; }

private:
    platform::IMessages& objMessages_;
    const platform::IProgramFolder& objProgramFolder_;
    const platform::IClock& objClock_;
    int lngFileHandle = -1;
    ProgressCallback objProgress_;
    ConversionStatistics stats_;
};

} // namespace qif2ldx::qif
