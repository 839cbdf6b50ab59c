// SPDX-License-Identifier: MIT
#pragma once

#include "platform/CharsetText.h"
#include "platform/FileSystem.h"
#include "platform/IClock.h"
#include "platform/IMessages.h"
#include "platform/IProgramFolder.h"
#include "records/CAcctInfo.h"
#include "records/CQIFTx.h"
#include "statement/ContentFitIds.h"
#include "statement/StatementDigest.h"
#include "statement/StatementError.h"
#include "statement/StatementFile.h"
#include "statement/StatementProfile.h"
#include "xml/CDoXML.h"

#include <cstdint>
#include <optional>
#include <string>

namespace qif2ldx::statement {

// Writes one OFX statement file: a skeleton file first, then the statement tree grown in memory
// (signon, bank or credit-card statement, one STMTTRN per transaction, period, balance), then the
// tree saved over the skeleton with the nine-line OFX header in front. All of it happens in a
// private working file beside the statement path (a StatementFile), which Commit reads back and
// then hands on or puts at that path; until then the path keeps what it held. Owns the document
// and the working file, which goes with the object unless it was placed.
class CLDXFile
{
public:
    // lFirstTxnIndex is the FITID of the first transaction: 0, except in tests of the counter's
    // limit.
    CLDXFile(platform::IMessages& objMessages, const platform::IProgramFolder& objProgramFolder,
             const platform::IClock& objClock, std::int32_t lFirstTxnIndex = 0);

    // The rules the statement follows; the Lodestrand statement until set. Set before
    // WriteOFXStandardInfo.
    void SetProfile(const StatementProfile& objProfile) { objProfile_ = &objProfile; }
    // A file that CreateFile must never replace, whatever name it is given by (the QIF file
    // being read).
    void KeepFile(const platform::FileIdentity& objIdentity) { objKept_ = objIdentity; }
    // Writes the skeleton "<OFX></OFX>" CR LF to a new working file beside the path. False for
    // an empty path, a kept file, a folder, or a folder where no file can be created; Commit
    // then says why. Never throws.
    [[nodiscard]] bool CreateFile(const std::string& sLDXFilePath);
    // Loads the skeleton from the working file held open (a parse failure is reported to the
    // user) and adds the signon and statement aggregates for the account. The result is the
    // load's. Throws xml::XmlError when no XML parser is available.
    bool WriteOFXStandardInfo(const records::CAcctInfo& AcctData);
    // Sets the statement period's start and end dates (today's, when empty, if the profile says
    // so).
    void InsertSTMTStartEndDate(const records::CAcctInfo& AcctData, const std::string& sStartDate,
                                const std::string& sEndDate);
    // Adds the ledger balance, always 0.00, as of sEndDate (as the period's end is written).
    void InsertLEDGERBAL(const records::CAcctInfo& AcctData, const std::string& sEndDate);
    // Appends one STMTTRN; true when it was appended. Throws StatementError, after adding the
    // transaction, when the counter cannot count further.
    bool WriteOFXTrans(const records::CQIFTx& cTxn, const records::CAcctInfo& AcctData);
    // Saves the statement over the skeleton, through the working file held open, and puts the
    // header in front. True only when both were written in full; Commit then says why not.
    // Never throws.
    [[nodiscard]] bool SaveFile();
    // Everything after the save, as one result: reads the working file back and compares it
    // with what was written (every transaction's FITID, DTPOSTED, TRNAMT, CHECKNUM, REFNUM, NAME
    // and MEMO, their count and order, and the period), then hands it on or puts it at the path
    // given to CreateFile, as objDelivery says. A file that could not be created or saved is
    // reported as such, with the system's reason, and goes no further. Drops the statement tree
    // first (it is on disk by then). Never throws.
    [[nodiscard]] CommitResult Commit(const Delivery& objDelivery);

    // The working file, where the statement is until it is placed.
    [[nodiscard]] const std::string& WorkingPath() const { return sFilePath; }

    // The FITID of the transaction written last; empty before the first.
    [[nodiscard]] const std::string& LastFitId() const { return sLastFitId_; }

    // Number of transactions written so far.
    [[nodiscard]] std::int32_t TxnCount() const { return lTxnCount; }

private:
    bool WriteOFXHeader();
    // The date written for a period date: today's in place of an empty one, if the profile
    // says so.
    [[nodiscard]] std::string PeriodDate(const std::string& sDate) const;
    [[nodiscard]] std::string FitId(const records::CQIFTx& cTxn,
                                    const records::CAcctInfo& AcctData);

    // The text as the statement carries it: transliterated where the profile says so.
    [[nodiscard]] std::string Carried(const std::string& sText) const;

    bool Insert(const std::string& sParentPath, const std::string& sName);
    bool Insert(const std::string& sParentPath, const std::string& sName,
                const std::string& sValue);

    const platform::IClock& objClock_;
    const StatementProfile* objProfile_ = &kLodestrandProfile;
    ContentFitIds objFitIds_;
    std::optional<platform::FileIdentity> objKept_;
    std::optional<StatementFile> objFile_;
    CommitResult failure_{CommitStatus::NotCreated}; // why CreateFile or SaveFile failed
    std::string sFilePath;                           // the working file
    xml::CDoXML cXMLDoc;
    std::optional<platform::CharsetText> objCharset_; // the profile's, once the document is loaded
    std::int32_t lTxnCount;
    std::string sLastFitId_;
    StatementDigest objDigest_;
};

} // namespace qif2ldx::statement
