// SPDX-License-Identifier: MIT
#include "statement/CLDXFile.h"

#include "platform/Utf8.h"

#include <climits>
#include <string_view>

namespace qif2ldx::statement {
namespace {

constexpr std::string_view kSkeleton = "<OFX></OFX>\r\n";

constexpr std::size_t kMaxNameLength = 32;

bool IsCreditCard(const records::CAcctInfo& AcctData)
{
    return AcctData.AcctType == "CREDIT";
}

// The statement aggregate under "/OFX/" for the account's kind.
std::string StatementPath(const records::CAcctInfo& AcctData)
{
    return IsCreditCard(AcctData) ? "/OFX/CREDITCARDMSGSRSV1/CCSTMTTRNRS/CCSTMTRS"
                                  : "/OFX/BANKMSGSRSV1/STMTTRNRS/STMTRS";
}

std::string TwoDigits(int value)
{
    return (value < 10 ? "0" : "") + std::to_string(value);
}

std::string DateText(const platform::LocalDate& date)
{
    return std::to_string(date.lngYear) + TwoDigits(date.lngMonth) + TwoDigits(date.lngDay);
}

} // namespace

CLDXFile::CLDXFile(platform::IMessages& objMessages,
                   const platform::IProgramFolder& objProgramFolder,
                   const platform::IClock& objClock, std::int32_t lFirstTxnIndex)
    : objClock_(objClock), cXMLDoc(objMessages, objProgramFolder), lTxnCount(lFirstTxnIndex)
{}

bool CLDXFile::CreateFile(const std::string& sLDXFilePath)
{
    StatementFile::Created created = StatementFile::Create(sLDXFilePath, kSkeleton, objKept_);
    objFile_ = std::move(created.file);
    if (!objFile_) {
        failure_ = {CommitStatus::NotCreated, created.reason};
        return false;
    }
    failure_ = {};
    sFilePath = objFile_->WorkingPath();
    return true;
}

bool CLDXFile::WriteOFXStandardInfo(const records::CAcctInfo& AcctData)
{
    static_cast<void>(cXMLDoc.Initialize(xml::pavHighest));
    // The body is written, and read back, in the profile's character set.
    cXMLDoc.SetSaveEncoding(objProfile_->sCharset);
    objDigest_.SetCharset(objProfile_->sCharset);
    objCharset_.emplace(objProfile_->sCharset);
    // Loaded from the file held, never by its name: another file may have taken the name.
    const bool bolLoaded = objFile_ && cXMLDoc.OpenFromFile(objFile_->HeldPath(), true);

    const std::string sToday = DateText(objClock_.Today());

    // Each insertion's result is of no further use: a missing parent leaves the tree unchanged,
    // and only the load decides the outcome.
    Insert("/OFX", "SIGNONMSGSRSV1");
    Insert("/OFX/SIGNONMSGSRSV1", "SONRS");
    Insert("/OFX/SIGNONMSGSRSV1/SONRS", "STATUS");
    Insert("/OFX/SIGNONMSGSRSV1/SONRS/STATUS", "CODE", "0");
    Insert("/OFX/SIGNONMSGSRSV1/SONRS/STATUS", "SEVERITY", "INFO");
    Insert("/OFX/SIGNONMSGSRSV1/SONRS/STATUS", "MESSAGE", "OK");
    Insert("/OFX/SIGNONMSGSRSV1/SONRS", "DTSERVER", sToday);
    Insert("/OFX/SIGNONMSGSRSV1/SONRS", "LANGUAGE", "ENG");
    Insert("/OFX/SIGNONMSGSRSV1/SONRS", "VELT.BID", AcctData.BID);

    const bool bolCredit = IsCreditCard(AcctData);
    const std::string sMessageSet = bolCredit ? "/OFX/CREDITCARDMSGSRSV1" : "/OFX/BANKMSGSRSV1";
    const std::string sResponse = sMessageSet + (bolCredit ? "/CCSTMTTRNRS" : "/STMTTRNRS");
    const std::string sStatement = StatementPath(AcctData);
    const std::string sAccountFrom = sStatement + (bolCredit ? "/CCACCTFROM" : "/BANKACCTFROM");

    Insert("/OFX", bolCredit ? "CREDITCARDMSGSRSV1" : "BANKMSGSRSV1");
    Insert(sMessageSet, bolCredit ? "CCSTMTTRNRS" : "STMTTRNRS");
    Insert(sResponse, "TRNUID", "1");
    Insert(sResponse, "STATUS");
    Insert(sResponse + "/STATUS", "CODE", "0");
    Insert(sResponse + "/STATUS", "SEVERITY", "INFO");
    Insert(sResponse + "/STATUS", "MESSAGE", "OK");
    Insert(sResponse, bolCredit ? "CCSTMTRS" : "STMTRS");
    Insert(sStatement, "CURDEF", AcctData.CurDef);
    Insert(sStatement, bolCredit ? "CCACCTFROM" : "BANKACCTFROM");
    if (!bolCredit) {
        Insert(sAccountFrom, "BANKID", AcctData.BranchNum);
    }
    Insert(sAccountFrom, "ACCTID", AcctData.AcctNum);
    if (!bolCredit) {
        Insert(sAccountFrom, "ACCTTYPE", AcctData.AcctType);
    }
    Insert(sStatement, "BANKTRANLIST");
    Insert(sStatement + "/BANKTRANLIST", "DTSTART");
    Insert(sStatement + "/BANKTRANLIST", "DTEND");
    return bolLoaded;
}

void CLDXFile::InsertSTMTStartEndDate(const records::CAcctInfo& AcctData,
                                      const std::string& sStartDate, const std::string& sEndDate)
{
    const std::string sList = StatementPath(AcctData) + "/BANKTRANLIST";
    const std::string sStart = PeriodDate(sStartDate);
    const std::string sEnd = PeriodDate(sEndDate);
    static_cast<void>(cXMLDoc.WriteNode(sList + "/DTSTART", sStart));
    static_cast<void>(cXMLDoc.WriteNode(sList + "/DTEND", sEnd));
    objDigest_.SetPeriod(sStart, sEnd);
}

void CLDXFile::InsertLEDGERBAL(const records::CAcctInfo& AcctData, const std::string& sEndDate)
{
    const std::string sStatement = StatementPath(AcctData);
    Insert(sStatement, "LEDGERBAL");
    Insert(sStatement + "/LEDGERBAL", "BALAMT", "0.00");
    Insert(sStatement + "/LEDGERBAL", "DTASOF", PeriodDate(sEndDate));
}

bool CLDXFile::WriteOFXTrans(const records::CQIFTx& cTxn, const records::CAcctInfo& AcctData)
{
    std::string sName = Carried(cTxn.sPayee);
    if (sName.empty()) {
        sName = cTxn.sMemo.empty() ? "Not Provided" : Carried(cTxn.sMemo);
    }
    if (platform::Utf8Length(sName) > kMaxNameLength) {
        sName = platform::Utf8Left(sName, kMaxNameLength);
    }
    const std::string sMemo = Carried(cTxn.sMemo);
    const NumberElement objNumber = NumberElementFor(*objProfile_, Carried(cTxn.sNum));

    const bool bolCredit = IsCreditCard(AcctData);
    const std::string sList = StatementPath(AcctData) + "/BANKTRANLIST";
    const bool bolAppended = Insert(sList, "STMTTRN");

    // The Lodestrand statement sees a credit card's signs the other way round from the bank's.
    const bool bolNegative = !cTxn.sAmount.empty() && cTxn.sAmount.front() == '-';
    const bool bolReversed = bolCredit && !objProfile_->bolCardTypesBySign;
    const char* sType = bolNegative != bolReversed ? "DEBIT" : "CREDIT";

    const std::string sTxn = sList + "/STMTTRN[" + std::to_string(lTxnCount) + "]";
    // The FITID is made from the texts as read: it stays what it was before texts were
    // transliterated.
    const std::string sFitId = FitId(cTxn, AcctData);
    Insert(sTxn, "TRNTYPE", sType);
    Insert(sTxn, "DTPOSTED", cTxn.sDate);
    Insert(sTxn, "TRNAMT", cTxn.sAmount);
    Insert(sTxn, "FITID", sFitId);
    sLastFitId_ = sFitId;
    if (!objNumber.sName.empty()) {
        Insert(sTxn, objNumber.sName, objNumber.sText);
    }
    Insert(sTxn, "NAME", sName);
    Insert(sTxn, "MEMO", sMemo);
    if (bolAppended) {
        const bool bolCheck = objNumber.sName == "CHECKNUM";
        objDigest_.AddTransaction({sFitId, cTxn.sDate, cTxn.sAmount,
                                   bolCheck ? objNumber.sText : "", bolCheck ? "" : objNumber.sText,
                                   sName, sMemo});
    }

    if (lTxnCount == INT32_MAX) {
        throw StatementError("a statement cannot hold more than " + std::to_string(INT32_MAX) +
                             " transactions");
    }
    ++lTxnCount;
    return bolAppended;
}

bool CLDXFile::SaveFile()
{
    if (!objFile_) {
        return false;
    }
    const platform::Done saved = objFile_->WriteOver([this](int fd) { return cXMLDoc.SaveTo(fd); });
    // The header goes in front of whatever the file holds, even when the save failed.
    const platform::Done header = objFile_->PutInFront(objProfile_->sHeader);
    if (!saved || !header) {
        failure_ = {CommitStatus::NotSaved, saved ? header.reason : saved.reason};
        return false;
    }
    return true;
}

CommitResult CLDXFile::Commit(const Delivery& objDelivery)
{
    cXMLDoc.Close();
    if (!objFile_ || failure_.status != CommitStatus::Committed) {
        return failure_;
    }
    return objFile_->Commit(objDigest_, objProfile_->sHeader, objDelivery);
}

std::string CLDXFile::PeriodDate(const std::string& sDate) const
{
    return sDate.empty() && objProfile_->bolTodayWhenEmpty ? DateText(objClock_.Today()) : sDate;
}

std::string CLDXFile::Carried(const std::string& sText) const
{
    if (!objProfile_->bolTransliterate || !objCharset_) {
        return sText;
    }
    return objCharset_->Transliterated(sText);
}

std::string CLDXFile::FitId(const records::CQIFTx& cTxn, const records::CAcctInfo& AcctData)
{
    if (!objProfile_->bolContentFitIds) {
        return std::to_string(lTxnCount);
    }
    return objFitIds_.Next(
        {AcctData.AcctNum, cTxn.sDate, cTxn.sAmount, cTxn.sPayee, cTxn.sMemo, cTxn.sNum});
}

bool CLDXFile::Insert(const std::string& sParentPath, const std::string& sName)
{
    return cXMLDoc.InsertNode(sParentPath, sName, std::nullopt, "", std::nullopt, xml::norChild);
}

bool CLDXFile::Insert(const std::string& sParentPath, const std::string& sName,
                      const std::string& sValue)
{
    return cXMLDoc.InsertNode(sParentPath, sName, sValue, "", std::nullopt, xml::norChild);
}

} // namespace qif2ldx::statement
